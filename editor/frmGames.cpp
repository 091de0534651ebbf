#include "editor/frmGames.h"

#include "editor/CBackgroundTask.h"
#include "editor/CEditorPrompts.h"
#include "editor/CGamesTableModel.h"
#include "editor/frmGameEditor.h"
#include "settings/CEngineSettings.h"
#include "workbook/CWorkBook.h"
#include "workbook/GameRows.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <limits>

static_assert(int(frmGames::ColVerdict) == int(CGamesTableModel::ColVerdict) &&
              int(frmGames::ColumnCount) == int(CGamesTableModel::ColumnCount));

namespace {

// More selected games than this are not looked up again after a reload, nor searched for
// alternatives when the buttons are updated.
constexpr size_t kMaxRemembered = 1000;

// The window names games by 32-bit identifiers; a longer one (a file from anyone) cut to 32 bits
// would name another game, so its row is listed and never acted on.
bool isWindowId(int64_t id) {
    return id >= std::numeric_limits<int32_t>::min() && id <= std::numeric_limits<int32_t>::max();
}

// The identifiers that fit, in the order given.
std::vector<int32_t> arrWindowIds(const std::vector<int64_t>& ids) {
    std::vector<int32_t> fit;
    for (int64_t id : ids)
        if (isWindowId(id)) fit.push_back(static_cast<int32_t>(id));
    return fit;
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
    model = new CGamesTableModel(
        workbook,
        [this](int64_t id) {
            const auto found =
                isWindowId(id) ? reports.find(static_cast<int32_t>(id)) : reports.end();
            if (found == reports.end()) return std::pair<QString, QString>();
            const VerifyReport& report = found->second.report;
            return std::pair(QString::fromStdString(strVerdictName(report.verdict)),
                             QString::fromStdString(report.strDetails));
        },
        this);

    tblGames = new QTableView(this);
    tblGames->setObjectName("tblGames");
    tblGames->setModel(model);
    tblGames->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tblGames->setSortingEnabled(true);
    tblGames->sortByColumn(ColID, Qt::AscendingOrder);
    // The notes and verdict columns do not sort: a click on their heading leaves the indicator
    // on the column the rows are sorted by.
    connect(tblGames->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
            [this](int column, Qt::SortOrder order) {
                if (column < ColNotes) {
                    sortedColumn = column;
                    sortedOrder = order;
                } else {
                    tblGames->horizontalHeader()->setSortIndicator(sortedColumn, sortedOrder);
                }
            });
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
    // Enter belongs to the filter and the table: no button takes it (it opened a new game).
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);
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
    resize(QSize(1120, 520).boundedTo(screen()->availableGeometry().size()));

    // Typed text waits for a pause in the typing, so that a word runs one query, not one per key;
    // text the program sets applies at once.
    filterPause = new QTimer(this);
    filterPause->setSingleShot(true);
    filterPause->setInterval(kFilterPauseMs);
    connect(txtFilter, &QLineEdit::textEdited, filterPause, qOverload<>(&QTimer::start));
    connect(txtFilter, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!filterPause->isActive()) SetFilter(text);
    });
    connect(filterPause, &QTimer::timeout, this, [this] { SetFilter(txtFilter->text()); });
    connect(txtFilter, &QLineEdit::returnPressed, this, [this] { SetFilter(txtFilter->text()); });
    // The row double-clicked names the game, not the selection (which a Ctrl-click changes).
    connect(tblGames, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (const int64_t id = index.isValid() ? model->lngIdAt(index.row()) : 0;
            id && isWindowId(id))
            emit TrainRequested(static_cast<int32_t>(id));
    });
    connect(tblGames->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        UpdateButtons();
        ShowDetails();
    });
    // A sort clears the selection without telling selectionChanged.
    connect(model, &QAbstractItemModel::modelReset, this, [this] {
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

void frmGames::ForgetReportsOfGamesGone() {
    // SQLite gives a deleted highest identifier to the next new game, which must show no verdict;
    // nor must a game another program gave other moves.
    std::erase_if(reports, [this](const auto& report) { return !isVerifiedGame(report.first); });
}

bool frmGames::isVerifiedGame(int32_t id, const std::shared_ptr<CGameTree>& tree) const {
    const auto verified = reports.find(id);
    return verified != reports.end() && GameRows::strStoredMoves(tree) == verified->second.moves;
}

bool frmGames::isVerifiedGame(int32_t id) const {
    try {
        std::string description, page, diagram;
        return isVerifiedGame(id, workbook->objLoadGame(id, description, page, diagram));
    } catch (const std::exception&) {
        return false; // gone, or no longer readable
    }
}

void frmGames::Reload() {
    ForgetReportsOfGamesGone();
    const std::vector<int32_t> selected = arrlngSelectedIDs();
    model->Reload();
    if (!model->strLastError().isEmpty())
        prompts->ShowError(this,
                           QString("The games could not be read: %1").arg(model->strLastError()));
    // Numbers fit their headings; descriptions get room to be read; the verdict takes the rest.
    tblGames->resizeColumnsToContents();
    tblGames->setColumnWidth(ColDescription,
                             std::clamp(tblGames->columnWidth(ColDescription), 160, 260));
    lblEmpty->setVisible(model->intTotalRows() == 0 && txtFilter->text().trimmed().isEmpty());
    tblGames->clearSelection();
    if (selected.size() <= kMaxRemembered)
        for (int32_t id : selected)
            if (const int row = model->intRowOf(id); row >= 0)
                tblGames->selectionModel()->select(model->index(row, ColID),
                                                   QItemSelectionModel::Select |
                                                       QItemSelectionModel::Rows);
    UpdateButtons();
    ShowDetails();
}

std::vector<int32_t> frmGames::arrlngSelectedIDs() const {
    if (!tblGames || !tblGames->selectionModel()) return {};
    std::vector<int> rows;
    for (const QModelIndex& index : tblGames->selectionModel()->selectedRows(ColID))
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return arrWindowIds(model->arrIdsInRows(rows));
}

std::vector<int32_t> frmGames::arrlngShownIDs() const {
    std::vector<int> rows(static_cast<size_t>(model->intTotalRows()));
    for (size_t r = 0; r < rows.size(); ++r)
        rows[r] = static_cast<int>(r);
    return arrWindowIds(model->arrIdsInRows(rows));
}

bool frmGames::isSelectGame(int32_t id) {
    tblGames->clearSelection();
    const int row = model->intRowOf(id);
    if (row < 0) return false;
    tblGames->selectRow(row);
    tblGames->scrollTo(model->index(row, ColID));
    return true;
}

void frmGames::SetFilter(const QString& text) {
    filterPause->stop();
    if (txtFilter->text() != text) txtFilter->setText(text);
    model->SetFilter(text);
    UpdateButtons();
}

void frmGames::SetVerification(const QString& path, const VerifyOptions& options) {
    enginePath = path;
    verifyOptions = options;
}

const VerifyReport* frmGames::objReport(int32_t id) const {
    const auto found = reports.find(id);
    return found == reports.end() ? nullptr : &found->second.report;
}

void frmGames::UpdateButtons() {
    const qsizetype selected = tblGames->selectionModel()->selectedRows(ColID).size();
    cmdEdit->setEnabled(selected == 1);
    cmdDelete->setEnabled(selected > 0);
    cmdTrain->setEnabled(selected == 1);
    cmdVerify->setEnabled(model->intTotalRows() > 0);
    cmdExport->setEnabled(model->intTotalRows() > 0);
    bool alternatives = false;
    if (!reports.empty() && static_cast<size_t>(selected) <= kMaxRemembered)
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
        // One transaction for the whole selection: a commit for each game held the window for
        // seconds on a few thousand games. A failure now leaves every chosen game in place.
        workbook->BeginBatch();
        try {
            for (int32_t id : ids)
                workbook->DeleteGame(id);
            workbook->CommitBatch();
        } catch (...) {
            workbook->RollbackBatch();
            throw;
        }
        for (int32_t id : ids)
            reports.erase(id);
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
