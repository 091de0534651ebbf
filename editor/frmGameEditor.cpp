#include "editor/frmGameEditor.h"

#include "board/cntrlChessGui.h"
#include "editor/CAnnotationPanel.h"
#include "editor/CEditorPrompts.h"
#include "game/CGameNode.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/Fen.h"
#include "game/PositionSoundness.h"
#include "settings/SettingsTable.h"
#include "workbook/CWorkBook.h"
#include "workbook/GameAnnotations.h"
#include "workbook/GameRows.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QVBoxLayout>
#include <exception>
#include <limits>
#include <tuple>

frmGameEditor::frmGameEditor(std::shared_ptr<CWorkBook> book, int32_t id,
                             std::shared_ptr<CEditorPrompts> asker, QWidget* parent)
    : QDialog(parent), workbook(std::move(book)), prompts(std::move(asker)),
      gameId(id > 0 ? id : 0) {
    setObjectName("frmGameEditor");
    BuildControls();
    // Roomy where the screen allows; down to the minimum on a laptop's screen, scaled.
    resize(QSize(1200, 560).boundedTo(screen()->availableGeometry().size()));
    ApplySquareColors();
    if (gameId > 0) {
        LoadGame();
    } else {
        setWindowTitle("New game");
        board->InitialPosition();
        board->Mode(BoardMode::Setup);
        FillSetupPanel();
    }
    BoardChanged();
    savedSnapshot = strSnapshot();
    ShowHint();
}

frmGameEditor::~frmGameEditor() = default;

void frmGameEditor::BuildControls() {
    board = new cntrlChessGui(this);
    board->setObjectName("cntrlChessEditor");
    board->setMinimumSize(420, 380);

    txtDescription = new QLineEdit(this);
    txtPageRef = new QLineEdit(this);
    txtDiagramRef = new QLineEdit(this);
    txtPageRef->setPlaceholderText("p.142");
    txtDiagramRef->setPlaceholderText("#245");
    txtDescription->setMinimumWidth(160);
    // A line box cuts what it is given at 32767 characters, and the cut text would be saved.
    for (QLineEdit* box : {txtDescription, txtPageRef, txtDiagramRef})
        box->setMaxLength(std::numeric_limits<int>::max());
    auto* fields = new QFormLayout;
    // On a narrow screen (a laptop's at 150%) each caption goes above its box.
    fields->setRowWrapPolicy(QFormLayout::WrapLongRows);
    fields->addRow("&Description:", txtDescription);
    fields->addRow("&Page:", txtPageRef);
    fields->addRow("D&iagram:", txtDiagramRef);

    cmdSetup = new QPushButton("Set &Up Position", this);
    cmdPasteFen = new QPushButton("Paste &FEN", this);
    cmdCopyFen = new QPushButton("C&opy FEN", this);
    cmdSave = new QPushButton("&Save", this);
    cmdCancel = new QPushButton("Cancel", this);
    cmdSave->setDefault(true);
    lblHint = new QLabel(this);
    lblHint->setWordWrap(true);

    auto* side = new QVBoxLayout;
    side->addLayout(fields);
    side->addWidget(cmdSetup);
    side->addWidget(cmdPasteFen);
    side->addWidget(cmdCopyFen);
    side->addWidget(lblHint);
    side->addStretch();
    side->addWidget(cmdSave);
    side->addWidget(cmdCancel);

    pnlAnnotations = new CAnnotationPanel(this);
    pnlAnnotations->setMinimumWidth(260);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(board, 1);
    layout->addWidget(pnlAnnotations);
    layout->addLayout(side);

    connect(cmdSetup, &QPushButton::clicked, this, &frmGameEditor::SetupPosition);
    connect(cmdPasteFen, &QPushButton::clicked, this, &frmGameEditor::PasteFen);
    connect(cmdCopyFen, &QPushButton::clicked, this, &frmGameEditor::CopyFen);
    connect(cmdSave, &QPushButton::clicked, this, [this] { isSave(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { isCancel(); });
    connect(board, &cntrlChessGui::Setup, this, &frmGameEditor::BoardChanged);
    // Status, not Moved: a move made on the board is told by Moved before it joins the tree.
    connect(board, &cntrlChessGui::Status, this, &frmGameEditor::BoardChanged);
    // The board's own Delete leaves the moves after the deleted one's replies in the tree.
    if (auto* remove = board->findChild<QPushButton*>("cmdDelete"))
        connect(remove, &QPushButton::clicked, this, [this] {
            if (const auto tree = board->objGameTree()) tree->RemoveUnreachable();
            BoardChanged();
        });
    connect(pnlAnnotations, &CAnnotationPanel::NodeChosen, this,
            [this](const QString& key) { board->GoToNode(key.toStdString()); });
    connect(pnlAnnotations, &CAnnotationPanel::LinesChanged, this, &frmGameEditor::ShowLines);
}

// The move tree and the boxes follow the board: a move played, a step back, a new position.
void frmGameEditor::BoardChanged() {
    ShowHint();
    const bool setup = board->boardMode() == BoardMode::Setup;
    pnlAnnotations->SetEditable(!setup);
    pnlAnnotations->ShowTree(setup ? nullptr : board->objGameTree());
}

// After a line operation the board shows the node (its list of next moves in the new order).
void frmGameEditor::ShowLines(const QString& key) {
    if (!board->GoToNode(key.toStdString())) BoardChanged();
}

// The square colours the trainee chose for the training board.
void frmGameEditor::ApplySquareColors() {
    const auto settings = objOpenSettings();
    bool ok = false;
    const uint light = settings->value(Settings::LightColor.strPath()).toString().toUInt(&ok);
    if (ok) board->SquareColorLight(light & 0xFFFFFFu);
    const uint dark = settings->value(Settings::DarkColor.strPath()).toString().toUInt(&ok);
    if (ok) board->SquareColorDark(dark & 0xFFFFFFu);
}

// The setup panel starts from the position shown: its castling rights and side to move.
void frmGameEditor::FillSetupPanel() {
    if (const auto position = board->objPosition())
        board->SetFen(QString::fromStdString(position->strGetFEN()));
}

void frmGameEditor::LoadGame() {
    auto tree = workbook->objLoadGame(gameId, storedDescription, storedPage, storedDiagram);
    if (!tree)
        throw std::runtime_error(
            "Game " + std::to_string(gameId) +
            (workbook->objGetGameRow(gameId)
                 ? " has no position."
                 : " is no longer in the workbook: another program deleted it."));
    storedMoves = GameRows::strStoredMoves(tree);
    txtDescription->setText(QString::fromStdString(storedDescription));
    txtPageRef->setText(QString::fromStdString(storedPage));
    txtDiagramRef->setText(QString::fromStdString(storedDiagram));
    setWindowTitle(QString("Game %1").arg(gameId));
    storedAnnotations = workbook->objLoadAnnotations(gameId);
    pnlAnnotations->SetAnnotations(storedAnnotations);
    board->objGameTree(tree);
    board->Mode(BoardMode::FreePlay);
}

void frmGameEditor::ShowHint() {
    if (board->boardMode() == BoardMode::Setup)
        lblHint->setText("Place the pieces, set castling, the side to move and the en-passant "
                         "file, then press Apply Setup.");
    else
        lblHint->setText("Play the solution on the board; go back with the arrows and play "
                         "another move to add a variation.");
}

// The tree's shape and positions and the texts, to tell whether anything changed.
QString frmGameEditor::strSnapshot() const {
    QString text = txtDescription->text() + '\n' + txtPageRef->text() + '\n' +
                   txtDiagramRef->text() + '\n' + QString::number(board->Mode()) + '\n';
    // Pieces placed and boxes set but not applied yet are changes as well.
    if (board->boardMode() == BoardMode::Setup) text += board->GetFen() + '\n';
    const auto tree = board->objGameTree();
    if (!tree) return text;
    text += QString::fromStdString(pnlAnnotations->strSnapshot(*tree)) + '\n';
    for (const auto& node : *tree) {
        text += QString::fromStdString(node->strKey()) + ':';
        if (node->objPosition()) text += QString::fromStdString(node->objPosition()->strGetFEN());
        for (const std::string& child : node->childrenKeys())
            text += ',' + QString::fromStdString(child);
        text += '\n';
    }
    return text;
}

bool frmGameEditor::isModified() const {
    return strSnapshot() != savedSnapshot;
}

// True when no moves would be lost to a new position, or the user lets them go.
bool frmGameEditor::isDropMoves() {
    const auto tree = board->objGameTree();
    return board->boardMode() == BoardMode::Setup || !tree || tree->Count() <= 1 ||
           prompts->isYes(this, "Setting up a new position drops the moves entered. Go on?");
}

void frmGameEditor::SetupPosition() {
    if (board->boardMode() == BoardMode::Setup || !isDropMoves()) return;
    board->Mode(BoardMode::Setup);
    FillSetupPanel();
    BoardChanged(); // the moves being dropped leave the panel
}

bool frmGameEditor::isStartFromFen(const QString& fen) {
    refusal.clear();
    std::shared_ptr<CPosition> position;
    try {
        position = objTryReadFen(fen.trimmed().toStdString());
    } catch (const std::exception&) {
        position = nullptr; // a placement without both kings
    }
    if (position) {
        const std::string reason = strUnsoundReason(*position);
        if (!reason.empty()) {
            refusal = QString::fromStdString(reason);
            return false;
        }
    }
    if (!board->ApplyFen(fen.trimmed())) return false;
    BoardChanged(); // the board tells nothing of a new game started from a FEN
    return true;
}

void frmGameEditor::PasteFen() {
    if (!isDropMoves()) return;
    const QString text = QGuiApplication::clipboard()->text();
    if (isStartFromFen(text)) return;
    if (!refusal.isEmpty())
        prompts->ShowError(
            this, "The position in the clipboard cannot be a test position: " + refusal + ".");
    else
        prompts->ShowError(this, "The clipboard holds no position in FEN.\n"
                                 "Copy a FEN text (such as \"4k3/8/8/8/8/8/8/4K2R w K - 0 1\") "
                                 "and try again.");
}

void frmGameEditor::CopyFen() {
    if (board->boardMode() == BoardMode::Setup) {
        QGuiApplication::clipboard()->setText(board->GetFen());
        return;
    }
    if (board->objPosition())
        QGuiApplication::clipboard()->setText(
            QString::fromStdString(board->objPosition()->strGetFEN()));
}

bool frmGameEditor::isSave() {
    if (board->boardMode() == BoardMode::Setup) {
        prompts->ShowError(this, "The position is still being set up.\n"
                                 "Press Apply Setup first, then play the solution.");
        return false;
    }
    auto tree = board->objGameTree();
    if (!tree || !tree->isExists(CGameNode::strINITIAL_KEY()) ||
        tree->Item(CGameNode::strINITIAL_KEY())->childrenKeys().empty()) {
        prompts->ShowError(this, "The game has no solution yet.\n"
                                 "Play at least one move from the test position.");
        return false;
    }
    const auto& root = tree->Item(CGameNode::strINITIAL_KEY());
    const std::string unsound = root->objPosition() ? strUnsoundReason(*root->objPosition()) : "";
    if (!unsound.empty()) {
        prompts->ShowError(this,
                           "The test position cannot be saved: " + QString::fromStdString(unsound) +
                               ".\nSet the position up again.");
        return false;
    }
    // Moves the board's Delete cut off are not part of the game.
    tree->RemoveUnreachable();
    try {
        // A text its box shows as stored is written as stored: bytes that are no UTF-8 stay.
        const auto text = [](const QLineEdit* box, const std::string& was) {
            return box->text() == QString::fromStdString(was) ? was : box->text().toStdString();
        };
        const std::string description = text(txtDescription, storedDescription);
        const std::string page = text(txtPageRef, storedPage);
        const std::string diagram = text(txtDiagramRef, storedDiagram);
        // Another program may have changed the game, or deleted it and given its identifier to
        // a new one, since it was loaded: that game is not saved over.
        if (gameId > 0) {
            std::string nowDescription, nowPage, nowDiagram;
            const auto now = workbook->objLoadGame(gameId, nowDescription, nowPage, nowDiagram);
            if (GameRows::strStoredMoves(now) != storedMoves ||
                workbook->objLoadAnnotations(gameId) != storedAnnotations ||
                std::tie(nowDescription, nowPage, nowDiagram) !=
                    std::tie(storedDescription, storedPage, storedDiagram)) {
                prompts->ShowError(this, QString("Game %1 was changed or replaced in the workbook "
                                                 "since it was opened; nothing was saved.\n"
                                                 "Cancel and open it again.")
                                             .arg(gameId));
                return false;
            }
        }
        // Annotations that could not be read stay as stored; those of removed moves go.
        gameId = pnlAnnotations->isReadable()
                     ? workbook->lngSaveGame(tree, gameId, description, page, diagram,
                                             pnlAnnotations->objAnnotationsFor(*tree))
                     : workbook->lngSaveGame(tree, gameId, description, page, diagram);
        storedMoves = GameRows::strStoredMoves(tree);
        storedAnnotations = workbook->objLoadAnnotations(gameId);
        std::tie(storedDescription, storedPage, storedDiagram) =
            std::tie(description, page, diagram);
    } catch (const std::exception& error) {
        prompts->ShowError(this, QString("The game could not be saved: %1").arg(error.what()));
        return false;
    }
    setWindowTitle(QString("Game %1").arg(gameId));
    savedSnapshot = strSnapshot();
    emit Saved(gameId);
    closing = true;
    accept();
    return true;
}

bool frmGameEditor::isCancel() {
    if (isModified() && !prompts->isYes(this, "Discard the changes to this game?")) return false;
    closing = true;
    QDialog::reject();
    return true;
}

void frmGameEditor::reject() {
    isCancel();
}

void frmGameEditor::closeEvent(QCloseEvent* event) {
    if (closing || isCancel())
        event->accept();
    else
        event->ignore();
}
