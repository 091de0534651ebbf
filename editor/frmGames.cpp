#include "editor/frmGames.h"

#include "editor/CBackgroundTask.h"
#include "editor/CEditorPrompts.h"
#include "editor/frmGameEditor.h"
#include "engine/CEngineSettings.h"
#include "workbook/CWorkBook.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

namespace {

// Matches the filter text against the description and the two references, ignoring case.
class GamesFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void SetNeedle(const QString& text) {
        needle = text.trimmed();
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        if (needle.isEmpty()) return true;
        for (int column : {frmGames::ColDescription, frmGames::ColPage, frmGames::ColDiagram}) {
            const QString text = sourceModel()->index(row, column, parent).data().toString();
            if (text.contains(needle, Qt::CaseInsensitive)) return true;
        }
        return false;
    }

private:
    QString needle;
};

// A sort key that puts "p.9" before "p.10": digit runs padded to a fixed width.
QString naturalKey(const QString& text) {
    QString key;
    QString digits;
    for (QChar c : text.toLower() + QChar(' ')) {
        if (c.isDigit()) {
            digits += c;
            continue;
        }
        if (!digits.isEmpty()) key += digits.rightJustified(12, '0');
        digits.clear();
        key += c;
    }
    return key;
}

QStandardItem* textItem(const std::string& text) {
    const QString shown = QString::fromStdString(text);
    auto* item = new QStandardItem(shown);
    item->setData(naturalKey(shown), Qt::UserRole);
    item->setEditable(false);
    return item;
}

QStandardItem* numberItem(long long value, const QString& shown) {
    auto* item = new QStandardItem(shown);
    item->setData(value, Qt::UserRole);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    item->setEditable(false);
    return item;
}

QStandardItem* numberItem(long long value) {
    return numberItem(value, QString::number(value));
}

} // namespace

frmGames::frmGames(std::shared_ptr<CWorkBook> book, QWidget* parent,
                   std::shared_ptr<CEditorPrompts> asker)
    : QDialog(parent), workbook(std::move(book)), prompts(std::move(asker)) {
    if (!prompts) prompts = std::make_shared<CModalPrompts>();
    setObjectName("frmGames");
    setWindowTitle("Games - " + QString::fromStdString(workbook->strWBTitle().empty()
                                                           ? workbook->strFileName()
                                                           : workbook->strWBTitle()));
    task = new CBackgroundTask(this);
    enginePath = CEngineSettings::protocol() == EngineProtocol::Uci
                     ? CEngineSettings::strEnginePath()
                     : CEngineSettings::strDefaultEnginePath();
    verifyOptions.limit.intMoveTimeMs = 1000;
    BuildControls();
    Reload();
}

frmGames::~frmGames() = default;

void frmGames::BuildControls() {
    model = new QStandardItemModel(0, ColumnCount, this);
    model->setHorizontalHeaderLabels({"ID", "Description", "Page", "Diagram", "Attempts",
                                      "Successes", "Error streak", "Success streak", "Score",
                                      "Verdict"});
    proxy = new GamesFilter(this);
    proxy->setSourceModel(model);
    proxy->setSortRole(Qt::UserRole);

    tblGames = new QTableView(this);
    tblGames->setObjectName("tblGames");
    tblGames->setModel(proxy);
    tblGames->setSortingEnabled(true);
    tblGames->sortByColumn(ColID, Qt::AscendingOrder);
    tblGames->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblGames->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tblGames->verticalHeader()->hide();
    tblGames->horizontalHeader()->setStretchLastSection(true);
    tblGames->setWordWrap(false);
    tblGames->setAlternatingRowColors(true);

    txtFilter = new QLineEdit(this);
    txtFilter->setPlaceholderText("Filter by description or reference (\"p.142\", \"#245\")");
    txtFilter->setClearButtonEnabled(true);
    lblEmpty = new QLabel("The workbook is empty. Add a game with New game or Import PGN.", this);
    lblDetails = new QLabel(this);
    lblDetails->setWordWrap(true);
    lblDetails->setTextInteractionFlags(Qt::TextSelectableByMouse);

    cmdNew = new QPushButton("&New game", this);
    cmdEdit = new QPushButton("&Edit", this);
    cmdDelete = new QPushButton("&Delete", this);
    cmdTrain = new QPushButton("&Train this game", this);
    cmdVerify = new QPushButton("&Verify with engine", this);
    cmdAddVariation = new QPushButton("&Add as variation", this);
    cmdImport = new QPushButton("&Import PGN...", this);
    cmdExport = new QPushButton("E&xport PGN...", this);
    cmdClose = new QPushButton("Close", this);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* button :
         {cmdNew, cmdEdit, cmdDelete, cmdTrain, cmdVerify, cmdAddVariation, cmdImport, cmdExport})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(cmdClose);

    auto* table = new QVBoxLayout;
    table->addWidget(txtFilter);
    table->addWidget(lblEmpty);
    table->addWidget(tblGames, 1);
    table->addWidget(lblDetails);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(table, 1);
    layout->addLayout(buttons);
    resize(1120, 520);

    connect(txtFilter, &QLineEdit::textChanged, this, &frmGames::SetFilter);
    connect(tblGames, &QTableView::doubleClicked, this, [this] { TrainGame(); });
    connect(tblGames->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        UpdateButtons();
        ShowDetails();
    });
    connect(cmdNew, &QPushButton::clicked, this, [this] { NewGame(); });
    connect(cmdEdit, &QPushButton::clicked, this, [this] { EditGame(); });
    connect(cmdDelete, &QPushButton::clicked, this, &frmGames::DeleteGames);
    connect(cmdTrain, &QPushButton::clicked, this, &frmGames::TrainGame);
    connect(cmdVerify, &QPushButton::clicked, this, &frmGames::VerifyGames);
    connect(cmdAddVariation, &QPushButton::clicked, this, &frmGames::AddAsVariation);
    connect(cmdImport, &QPushButton::clicked, this, &frmGames::ImportPgn);
    connect(cmdExport, &QPushButton::clicked, this, &frmGames::ExportPgn);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
}

void frmGames::Reload() {
    const std::vector<int32_t> selected = arrlngSelectedIDs();
    std::vector<WorkBookGameRow> rows;
    try {
        rows = workbook->arrGetGameRows();
    } catch (const std::exception& error) {
        prompts->ShowError(this, QString("The games could not be read: %1").arg(error.what()));
    }
    // A fresh model filled while detached: filling a sorted model row by row re-sorts each time.
    QStandardItemModel* old = model;
    model = new QStandardItemModel(static_cast<int>(rows.size()), ColumnCount, this);
    for (int c = 0; c < ColumnCount; ++c)
        model->setHorizontalHeaderItem(c, old->horizontalHeaderItem(c)->clone());
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const WorkBookGameRow& row = rows[r];
        model->setItem(r, ColID, numberItem(row.lngID));
        model->setItem(r, ColDescription, textItem(row.strDescription));
        model->setItem(r, ColPage, textItem(row.strXRefPage));
        model->setItem(r, ColDiagram, textItem(row.strXRefDiagram));
        model->setItem(r, ColAttempts, numberItem(row.lngHits));
        model->setItem(r, ColSuccesses, numberItem(row.lngSolve));
        model->setItem(r, ColErrorStreak, numberItem(row.lngErrorStreak));
        model->setItem(r, ColSuccessStreak, numberItem(row.lngSolveStreak));
        const int score =
            row.lngHits > 0 ? (row.lngSolve * 100 + row.lngHits / 2) / row.lngHits : -1;
        model->setItem(r, ColScore, numberItem(score, score < 0 ? "" : QString("%1%").arg(score)));
        FillRow(r, row.lngID);
    }
    proxy->setSourceModel(model);
    delete old;
    // Numbers fit their headings; descriptions get room to be read; the verdict takes the rest.
    tblGames->resizeColumnsToContents();
    tblGames->setColumnWidth(ColDescription,
                             std::clamp(tblGames->columnWidth(ColDescription), 160, 260));
    lblEmpty->setVisible(rows.empty());
    tblGames->clearSelection();
    for (int32_t id : selected)
        for (int r = 0; r < proxy->rowCount(); ++r)
            if (proxy->index(r, ColID).data(Qt::UserRole).toInt() == id)
                tblGames->selectionModel()->select(proxy->index(r, ColID),
                                                   QItemSelectionModel::Select |
                                                       QItemSelectionModel::Rows);
    UpdateButtons();
    ShowDetails();
}

// The verdict column of a row.
void frmGames::FillRow(int row, int32_t id) {
    const auto found = reports.find(id);
    const QString verdict = found == reports.end()
                                ? QString()
                                : QString::fromStdString(strVerdictName(found->second.verdict));
    auto* item = new QStandardItem(verdict);
    item->setData(verdict, Qt::UserRole);
    item->setEditable(false);
    if (found != reports.end()) item->setToolTip(QString::fromStdString(found->second.strDetails));
    model->setItem(row, ColVerdict, item);
}

std::vector<int32_t> frmGames::arrlngSelectedIDs() const {
    std::vector<int32_t> ids;
    if (!tblGames || !tblGames->selectionModel()) return ids;
    QModelIndexList rows = tblGames->selectionModel()->selectedRows(ColID);
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    for (const QModelIndex& index : rows)
        ids.push_back(index.data(Qt::UserRole).toInt());
    return ids;
}

std::vector<int32_t> frmGames::arrlngShownIDs() const {
    std::vector<int32_t> ids;
    for (int r = 0; r < proxy->rowCount(); ++r)
        ids.push_back(proxy->index(r, ColID).data(Qt::UserRole).toInt());
    return ids;
}

bool frmGames::isSelectGame(int32_t id) {
    tblGames->clearSelection();
    for (int r = 0; r < proxy->rowCount(); ++r) {
        if (proxy->index(r, ColID).data(Qt::UserRole).toInt() != id) continue;
        tblGames->selectRow(r);
        tblGames->scrollTo(proxy->index(r, ColID));
        return true;
    }
    return false;
}

void frmGames::SetFilter(const QString& text) {
    if (txtFilter->text() != text) txtFilter->setText(text);
    static_cast<GamesFilter*>(proxy)->SetNeedle(text);
    UpdateButtons();
}

void frmGames::SetVerification(const QString& path, const VerifyOptions& options) {
    enginePath = path;
    verifyOptions = options;
}

const VerifyReport* frmGames::objReport(int32_t id) const {
    const auto found = reports.find(id);
    return found == reports.end() ? nullptr : &found->second;
}

void frmGames::UpdateButtons() {
    const size_t selected = arrlngSelectedIDs().size();
    cmdEdit->setEnabled(selected == 1);
    cmdDelete->setEnabled(selected > 0);
    cmdTrain->setEnabled(selected == 1);
    cmdVerify->setEnabled(model->rowCount() > 0);
    cmdExport->setEnabled(model->rowCount() > 0);
    bool alternatives = false;
    for (int32_t id : arrlngSelectedIDs())
        if (const VerifyReport* report = objReport(id))
            for (const VerifyFinding& finding : report->arrFindings)
                alternatives = alternatives || !finding.arrstrLine.empty();
    cmdAddVariation->setEnabled(alternatives);
}

void frmGames::ShowDetails() {
    const std::vector<int32_t> ids = arrlngSelectedIDs();
    const VerifyReport* report = ids.size() == 1 ? objReport(ids.front()) : nullptr;
    lblDetails->setText(report ? QString("Game %1: %2 - %3")
                                     .arg(ids.front())
                                     .arg(QString::fromStdString(strVerdictName(report->verdict)),
                                          QString::fromStdString(report->strDetails))
                               : QString());
}

frmGameEditor* frmGames::objEditor() const {
    return editor;
}

frmGameEditor* frmGames::OpenEditor(int32_t id) {
    try {
        editor = new frmGameEditor(workbook, id, prompts, this);
    } catch (const std::exception& error) {
        prompts->ShowError(this, QString("The game could not be opened: %1").arg(error.what()));
        return nullptr;
    }
    editor->setAttribute(Qt::WA_DeleteOnClose);
    connect(editor, &frmGameEditor::Saved, this, &frmGames::GameSaved);
    editor->setWindowModality(Qt::WindowModal);
    editor->show();
    return editor;
}

void frmGames::GameSaved(int32_t id) {
    reports.erase(id);
    Reload();
    isSelectGame(id);
    emit WorkbookChanged(id);
}

frmGameEditor* frmGames::NewGame() {
    return OpenEditor(0);
}

frmGameEditor* frmGames::NewGameFromFen(const QString& fen) {
    frmGameEditor* opened = OpenEditor(0);
    if (opened && !opened->isStartFromFen(fen))
        prompts->ShowError(opened, opened->strRefusal().isEmpty()
                                       ? QString("The clipboard holds no position in FEN; set the "
                                                 "position up on the board instead.")
                                       : "The position in the clipboard cannot be a test "
                                         "position: " +
                                             opened->strRefusal() + ".");
    return opened;
}

frmGameEditor* frmGames::EditGame() {
    const std::vector<int32_t> ids = arrlngSelectedIDs();
    if (ids.size() != 1) return nullptr;
    return OpenEditor(ids.front());
}

void frmGames::DeleteGames() {
    const std::vector<int32_t> ids = arrlngSelectedIDs();
    if (ids.empty()) return;
    const QString question = ids.size() == 1 ? QString("Delete game %1?").arg(ids.front())
                                             : QString("Delete these %1 games?").arg(ids.size());
    if (!prompts->isYes(this, question)) return;
    try {
        for (int32_t id : ids) {
            workbook->DeleteGame(id);
            reports.erase(id);
        }
    } catch (const std::exception& error) {
        prompts->ShowError(this, QString("The game could not be deleted: %1").arg(error.what()));
    }
    Reload();
    emit WorkbookChanged(0);
}

void frmGames::TrainGame() {
    const std::vector<int32_t> ids = arrlngSelectedIDs();
    if (ids.size() == 1) emit TrainRequested(ids.front());
}
