// The games window's work on many games at once: PGN import and export, verification with an
// engine and adding what it found.
#include "editor/CBackgroundTask.h"
#include "editor/CEditorPrompts.h"
#include "editor/CPgnTransfer.h"
#include "editor/frmGames.h"
#include "game/CGameTree.h"
#include "settings/SettingsTable.h"
#include "workbook/CWorkBook.h"
#include "workbook/GameAnnotations.h"
#include "workbook/GameRows.h"

#include <QDir>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPointer>
#include <QSettings>
#include <QStandardPaths>
#include <QTableView>
#include <exception>
#include <map>

namespace {

const char* kPgnFilter = "PGN files (*.pgn);;All files (*)";

// "1 game", "2 games".
QString games(int count) {
    return count == 1 ? QString("1 game") : QString("%1 games").arg(count);
}

} // namespace

// The folder PGN files were last read from or written to, else the user's documents.
QString frmGames::strPgnFolder() {
    const QString last = objOpenSettings()->value(Settings::LastPgnFolder.strPath()).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir()) return last;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void frmGames::RememberPgnFolder(const QString& file) {
    objOpenSettings()->setValue(Settings::LastPgnFolder.strPath(), QFileInfo(file).absolutePath());
}

// Cancel hides the progress dialog at once while the task runs on to its next check (the end of
// an engine's search): until the task has ended, the window stays open and its commands wait.
void frmGames::RunTask(const QString& title, const std::function<void(CTaskControl&)>& work) {
    const QPointer<QWidget> focused = focusWidget();
    std::vector<QPointer<QWidget>> waiting;
    for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!control->isWindow() && control->isEnabled()) {
            control->setEnabled(false);
            waiting.emplace_back(control);
        }
    task->RunWithDialog(this, title, work);
    for (const QPointer<QWidget>& control : waiting)
        if (control) control->setEnabled(true);
    if (focused) focused->setFocus();
}

void frmGames::done(int result) {
    // The task works on the window's data: a close now would take them from under it.
    if (task->isRunning()) return;
    QDialog::done(result);
}

void frmGames::ImportPgn() {
    const QString file = prompts->strAskFile(this, "Import PGN", kPgnFilter, false, strPgnFolder());
    if (file.isEmpty()) return;
    RememberPgnFolder(file);
    ImportPgnFrom(file);
}

void frmGames::ImportPgnFrom(const QString& file) {
    PgnImportSummary summary;
    CWorkBook& book = *workbook;
    // The import's worker writes through the workbook, which is not for two threads at once: the
    // filter typed is applied now, and the table reads nothing (a window made taller behind the
    // progress dialog would) until the import ends.
    if (filterPause->isActive()) SetFilter(txtFilter->text());
    // A game gone since the last reload may give its identifier to a game imported now.
    ForgetReportsOfGamesGone();
    model->PauseReading(true);
    RunTask("Importing " + QFileInfo(file).fileName(), [&](CTaskControl& control) {
        try {
            summary = ImportPgnFile(book, file, control);
        } catch (const PgnImportError& error) {
            summary.objResult = error.objKept; // the games of the batches committed stay
            throw;
        }
    });
    model->PauseReading(false);
    Reload();
    if (summary.objResult.intImported > 0) emit WorkbookChanged(0);
    if (!task->strError().isEmpty()) {
        prompts->ShowError(this, "The import stopped: " + task->strError() + "\n" +
                                     games(summary.objResult.intImported) +
                                     (summary.objResult.intImported == 1 ? " was" : " were") +
                                     " imported before.");
        return;
    }
    const PgnImportResult& result = summary.objResult;
    if (result.isNotText) {
        prompts->ShowError(this, file + " is not PGN text: nothing was imported from it.");
        return;
    }
    QString text = games(result.intImported) + " imported from " + file + ".";
    if (result.isLatin1) text += "\nThe file is not UTF-8 and was read as Latin-1.";
    if (result.isCancelled) text = "Import cancelled. " + text;
    if (result.intSkipped == 1)
        text += "\n1 game was skipped; the details give the reason.";
    else if (result.intSkipped > 1)
        text += QString("\n%1 games were skipped; the details list them with their reasons.")
                    .arg(result.intSkipped);
    const auto noted = static_cast<int>(summary.arrstrNoted.size());
    if (noted == 1)
        text += "\n1 game was imported without a variation that holds a null move; the details "
                "name it.";
    else if (noted > 1)
        text += QString("\n%1 games were imported without their variations that hold null moves; "
                        "the details name them.")
                    .arg(noted);
    prompts->ShowInformation(this, "Import PGN", text, summary.arrstrSkipped + summary.arrstrNoted);
}

void frmGames::ExportPgn() {
    QString file = prompts->strAskFile(this, "Export PGN", kPgnFilter, true, strPgnFolder());
    if (file.isEmpty()) return;
    if (QFileInfo(file).suffix().isEmpty()) file += ".pgn";
    RememberPgnFolder(file);
    ExportPgnTo(file);
}

void frmGames::ExportPgnTo(const QString& file) {
    const std::vector<int32_t> ids = arrlngSelectedIDs();
    // No identifier the window can name among the rows chosen: exporting every game instead
    // would write what was not chosen.
    if (ids.empty() && tblGames->selectionModel()->hasSelection()) {
        prompts->ShowError(this, "The games chosen have identifiers beyond 32 bits, which this "
                                 "window cannot export; brisolt-cli export writes every game.");
        return;
    }
    try {
        const PgnExportSummary summary = ExportPgnFile(*workbook, file, ids);
        QString text = games(summary.intWritten) + " written to " + file + ".";
        const auto unread = static_cast<int>(summary.arrstrSkipped.size());
        if (unread == 1)
            text += "\n1 game could not be read and was left out; the details give the reason.";
        else if (unread > 1)
            text += QString("\n%1 games could not be read and were left out; the details list "
                            "them with their reasons.")
                        .arg(unread);
        prompts->ShowInformation(this, "Export PGN", text, summary.arrstrSkipped);
    } catch (const std::exception& error) {
        prompts->ShowError(this, QString("The export failed: %1").arg(error.what()));
    }
}

void frmGames::VerifyGames() {
    std::vector<int32_t> ids = arrlngSelectedIDs();
    if (ids.empty()) ids = arrlngShownIDs();
    if (ids.empty()) return;
    if (enginePath.isEmpty()) {
        prompts->ShowError(this, "No UCI engine was found. Install Stockfish or choose an engine "
                                 "in the Options menu.");
        return;
    }
    // The trees are read here; the worker only talks to the engine.
    struct Game {
        int32_t id;
        std::shared_ptr<CGameTree> tree;
        GameAnnotations annotations;
    };
    std::vector<Game> games;
    std::map<int32_t, std::string> moves;
    try {
        for (int32_t id : ids) {
            std::string description, page, diagram;
            if (auto tree = workbook->objLoadGame(id, description, page, diagram)) {
                games.push_back({id, tree, workbook->objLoadAnnotations(id)});
                moves[id] = GameRows::strStoredMoves(tree);
            }
        }
    } catch (const std::exception& error) {
        prompts->ShowError(this, QString("The games could not be read: %1").arg(error.what()));
        return;
    }
    std::vector<std::pair<int32_t, VerifyReport>> found;
    const std::string path = enginePath.toStdString();
    const VerifyOptions options = verifyOptions;
    RunTask("Verifying with the engine", [&, path, options](CTaskControl& control) {
        CEngineAnalyser analyser(path, control.objCancelFlag());
        CSolutionVerifier verifier(analyser, options);
        const int total = static_cast<int>(games.size());
        for (const auto& [id, tree, annotations] : games) {
            if (control.isCancelled()) break;
            control.Report(
                static_cast<int>(found.size()), total,
                QString("Verifying game %1 (%2 of %3)").arg(id).arg(found.size() + 1).arg(total));
            try {
                found.emplace_back(id, verifier.objVerify(*tree, annotations));
            } catch (const AnalysisCancelled&) {
                break;
            }
        }
        control.Report(static_cast<int>(found.size()), total, "Done");
    });
    for (auto& [id, report] : found)
        reports[id] = {std::move(report), moves[id]};
    Reload();
    if (!task->strError().isEmpty())
        prompts->ShowError(this, "The verification stopped: " + task->strError());
}

void frmGames::AddAsVariation() {
    std::vector<int32_t> changed;
    QStringList refused;
    for (int32_t id : arrlngSelectedIDs()) {
        const auto report = reports.find(id);
        if (report == reports.end()) continue;
        try {
            std::string description, page, diagram;
            auto tree = workbook->objLoadGame(id, description, page, diagram);
            if (!tree) continue;
            // Lines found in another game than the one stored now do not belong to it.
            if (!isVerifiedGame(id, tree)) {
                refused << QString("Game %1 was changed since it was verified; verify it again.")
                               .arg(id);
                continue;
            }
            int lines = 0;
            for (const VerifyFinding& finding : report->second.report.arrFindings) {
                if (finding.arrstrLine.empty()) continue;
                if (isAddLine(*tree, finding.strNodeKey, finding.arrstrLine))
                    ++lines;
                else
                    refused << QString::fromStdString(finding.strText);
            }
            if (lines == 0) continue;
            workbook->lngSaveGame(tree, id, description, page, diagram);
            reports.erase(report);
            changed.push_back(id);
        } catch (const std::exception& error) {
            prompts->ShowError(
                this, QString("Game %1 could not be changed: %2").arg(id).arg(error.what()));
        }
    }
    Reload();
    // Each game by its identifier: a training board showing one takes its new lines.
    for (int32_t id : changed)
        emit WorkbookChanged(id);
    if (!refused.isEmpty())
        prompts->ShowInformation(this, "Add as variation",
                                 "Some lines could not be added to the game.", refused);
}
