#pragma once

#include "editor/CGamesTableModel.h"
#include "verify/CSolutionVerifier.h"

#include <QDialog>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CBackgroundTask;
class CTaskControl;
class CEditorPrompts;
class CGameTree;
class CWorkBook;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;
class frmGameEditor;

// The games window: the games of the workbook with their references and statistics in a table
// that reads only the rows on screen, sorts by any column and filters on description and
// references (both done by the database); new, edit, delete, train,
// PGN import and export, and verification of the solutions with an engine.
class frmGames : public QDialog {
    Q_OBJECT
public:
    // Table columns, left to right: the model's.
    using Column = CGamesTableModel::Column;
    using enum CGamesTableModel::Column;

    // A window over the open workbook; prompts answer its questions (modal boxes by default).
    explicit frmGames(std::shared_ptr<CWorkBook> workbook, QWidget* parent = nullptr,
                      std::shared_ptr<CEditorPrompts> prompts = nullptr);
    ~frmGames() override;

    // Reads the games from the workbook again, keeping the selection where it can.
    void Reload();
    // The identifiers of the selected games, in the table's order.
    std::vector<int32_t> arrlngSelectedIDs() const;
    // Selects the game's row (and only it); false when it is not shown.
    bool isSelectGame(int32_t id);
    // Sets the filter text and shows the games it matches at once.
    void SetFilter(const QString& text);
    // How long the filter box waits after a key before the typed text filters the games.
    static constexpr int kFilterPauseMs = 300;
    // The identifiers shown, top to bottom.
    std::vector<int32_t> arrlngShownIDs() const;
    // The engine program and the thoroughness of "Verify with engine".
    void SetVerification(const QString& enginePath, const VerifyOptions& options);
    // The verification of a game, nullptr before it was verified.
    const VerifyReport* objReport(int32_t id) const;
    // The editor opened last, while it is open.
    frmGameEditor* objEditor() const;
    // The task that imports or verifies (for the progress dialog it shows).
    CBackgroundTask* objTask() const { return task; }

    QTableView* tblGames = nullptr;
    QLineEdit* txtFilter = nullptr;
    QLabel* lblEmpty = nullptr;
    QLabel* lblDetails = nullptr;
    QPushButton* cmdNew = nullptr;
    QPushButton* cmdEdit = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdTrain = nullptr;
    QPushButton* cmdVerify = nullptr;
    QPushButton* cmdAddVariation = nullptr;
    QPushButton* cmdImport = nullptr;
    QPushButton* cmdExport = nullptr;
    QPushButton* cmdClose = nullptr;

signals:
    // The trainee wants to train this game next.
    void TrainRequested(int32_t id);
    // Games were added, changed or deleted; the identifier names the one game saved, 0 when
    // others changed.
    void WorkbookChanged(int32_t savedGameId);

public slots:
    // Opens the editor for a new game.
    frmGameEditor* NewGame();
    // Opens the editor for a new game starting from the FEN text.
    frmGameEditor* NewGameFromFen(const QString& fen);
    // Opens the editor for the selected game.
    frmGameEditor* EditGame();
    // Deletes the selected games after a Yes/No question.
    void DeleteGames();
    // Asks to train the selected game next.
    void TrainGame();
    // Verifies the selected games (every game when none is selected) on a worker thread.
    void VerifyGames();
    // Adds the alternatives found for the selected games to their trees.
    void AddAsVariation();
    // Imports a PGN file chosen by the user.
    void ImportPgn();
    // Imports the PGN file on a worker thread with a progress dialog.
    void ImportPgnFrom(const QString& file);
    // Exports the selected games (every game when none is selected) to a PGN file.
    void ExportPgn();
    // Exports to the named file.
    void ExportPgnTo(const QString& file);

    // The folder the PGN dialogs start in: the last one used for PGN, else the user's documents.
    static QString strPgnFolder();

protected:
    // Refused while the window's task runs.
    void done(int result) override;

private:
    // Runs the task with the progress dialog, the window's commands waiting until it has ended.
    void RunTask(const QString& title, const std::function<void(CTaskControl&)>& work);
    static void RememberPgnFolder(const QString& file);
    void BuildControls();
    // Drops the verification of every game no longer in the workbook.
    void ForgetReportsOfGamesGone();
    // True when the game under the identifier (loaded, or as the tree) is the one verified.
    bool isVerifiedGame(int32_t id) const;
    bool isVerifiedGame(int32_t id, const std::shared_ptr<CGameTree>& tree) const;
    void UpdateButtons();
    void ShowDetails();
    frmGameEditor* OpenEditor(int32_t id);
    void GameSaved(int32_t id);

    std::shared_ptr<CWorkBook> workbook;
    std::shared_ptr<CEditorPrompts> prompts;
    CGamesTableModel* model = nullptr;
    CBackgroundTask* task = nullptr;
    QTimer* filterPause = nullptr;
    QPointer<frmGameEditor> editor;
    // A verification with the positions and moves of the game it was made on
    // (GameRows::strStoredMoves): another game given the identifier has others.
    struct Verification {
        VerifyReport report;
        std::string moves;
    };
    std::map<int32_t, Verification> reports;
    QString enginePath;
    VerifyOptions verifyOptions;
    // The column the rows are sorted by, and its order.
    int sortedColumn = ColID;
    Qt::SortOrder sortedOrder = Qt::AscendingOrder;
};
