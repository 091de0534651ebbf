#include "board/cntrlChessGui.h"

#include "board/CBoardSounds.h"
#include "board/frmPromote.h"
#include "game/CGameNode.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/PositionConstructors.h"
#include "game/SideToMove.h"
#include "model/CError.h"
#include "model/CGameStatus.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <chrono>

namespace {

// The move box keeps its Enter: passed on, it would also press a dialog's default button (the
// practice window's Stop Game, the editor's Save).
class MoveBox : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        QLineEdit::keyPressEvent(event);
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) event->accept();
    }
};

} // namespace

cntrlChessGui::cntrlChessGui(QWidget* parent) : QWidget(parent) {
    setObjectName("cntrlChessGui");
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A click or drag on the board takes the keyboard from any text box beside it.
    setFocusPolicy(Qt::StrongFocus);
    pictures.fill(-1);
    pictureVisible.fill(true);
    const auto clock = std::chrono::steady_clock::now().time_since_epoch().count();
    random.seed(static_cast<unsigned>(clock) ^ std::random_device{}());
    messageBox = std::make_shared<CModalMessageBox>();
    // The pieces to choose from appear as a column over the promotion square.
    promotionChooser = [this](QWidget* owner) {
        if (pendingPromotionSquare < 0) return frmPromote::strAsk(owner);
        const QRect square = rcSquarePixels(pendingPromotionSquare);
        return frmPromote::strAsk(owner, QRect(mapToGlobal(square.topLeft()), square.size()),
                                  position->isWhiteToMove());
    };
    pieces = std::make_unique<CPiecePictures>();
    CreateChildren();

    position = objNewStartPosition();
    tree = std::make_shared<CGameTree>();
    tree->Add(position, nextNodes);
    DisplayPosition();
    LayoutBoard();
    ShowSetupPanel(mode == BoardMode::Setup);
    resize(sizeHint());
}

cntrlChessGui::~cntrlChessGui() = default;

void cntrlChessGui::CreateChildren() {
    auto makeList = [this](const QString& name) {
        auto* list = new QListWidget(this);
        list->setObjectName(name);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setFocusPolicy(Qt::NoFocus);
        return list;
    };
    lstWhiteMoves = makeList("lstWhiteMoves");
    lstBlackMoves = makeList("lstBlackMoves");
    lstVariations = makeList("lstVariations");
    lstVariations->setToolTip("Next Move/Variations");
    for (QListWidget* list : {lstWhiteMoves, lstBlackMoves}) {
        connect(list, &QListWidget::currentRowChanged, this, [this, list] { SyncLists(list); });
        connect(list->verticalScrollBar(), &QScrollBar::valueChanged, this,
                [this, list] { SyncLists(list); });
    }
    connect(lstVariations, &QListWidget::itemDoubleClicked, this,
            [this] { cmdNavigation_Click(3); });

    cmdDelete = new QPushButton("Delete", this);
    cmdDelete->setObjectName("cmdDelete");
    cmdDelete->setToolTip("Delete a variation");
    connect(cmdDelete, &QPushButton::clicked, this, [this] { cmdDelete_Click(); });

    const char* captions[5] = {"|<", "<<", "<", ">", ">>"};
    const char* tips[5] = {"Initial Position (Home)", "Previous Branch (Page Up)",
                           "Previous Move (Left)", "Next Move (Right)", "Next Branch (End)"};
    for (int k = 0; k < 5; ++k) {
        cmdNavigation[k] = new QPushButton(captions[k], this);
        cmdNavigation[k]->setToolTip(tips[k]);
        cmdNavigation[k]->setFocusPolicy(Qt::NoFocus);
        connect(cmdNavigation[k], &QPushButton::clicked, this,
                [this, k] { cmdNavigation_Click(k); });
    }

    fraSetup = new QGroupBox(this);
    fraSetup->setObjectName("fraSetup");
    auto* panel = new QVBoxLayout(fraSetup);
    panel->setContentsMargins(6, 4, 6, 4);
    panel->setSpacing(2);
    auto makeCheck = [this, panel](const QString& caption, bool checked) {
        auto* box = new QCheckBox(caption, fraSetup);
        box->setChecked(checked);
        panel->addWidget(box);
        return box;
    };
    chkWhiteOO = makeCheck("White O-O", false);
    chkWhiteOOO = makeCheck("White O-O-O", false);
    chkBlackOO = makeCheck("Black O-O", false);
    chkBlackOOO = makeCheck("Black O-O-O", false);
    chkWhiteToMove = makeCheck("White to move", true);
    lblEP = new QLabel("En Passant File:", fraSetup);
    panel->addWidget(lblEP);
    cboEP = new QComboBox(fraSetup);
    cboEP->setEditable(true);
    cboEP->addItems({"", "a", "b", "c", "d", "e", "f", "g", "h"});
    cboEP->setCurrentIndex(-1);
    cboEP->setEditText("");
    panel->addWidget(cboEP);
    panel->addStretch(1);

    txtMove = new MoveBox(this);
    txtMove->setObjectName("txtMove");
    txtMove->setPlaceholderText("Type a move: Nf3, exd5, O-O, g1f3");
    txtMove->setToolTip("Type a move and press Enter");
    txtMove->setClearButtonEnabled(true);
    connect(txtMove, &QLineEdit::returnPressed, this, &cntrlChessGui::OnMoveEntered);
    lblMoveResult = new QLabel(this);
    lblMoveResult->setObjectName("lblMoveResult");

    cmdClear = new QPushButton("Clear Board", this);
    cmdInitPos = new QPushButton("Starting Pos", this);
    cmdApplySetup = new QPushButton("Apply Setup", this);
    connect(cmdClear, &QPushButton::clicked, this, [this] { cmdClear_Click(); });
    connect(cmdInitPos, &QPushButton::clicked, this, [this] { cmdInitPos_Click(); });
    connect(cmdApplySetup, &QPushButton::clicked, this, [this] { cmdApplySetup_Click(); });
}

QSize cntrlChessGui::sizeHint() const {
    const double w = 12 * DEFAULT_SQUARE_SIZE + CBoardGeometry::SETUP_PANEL_WIDTH / 2;
    return {qRound(w / CBoardGeometry::TWIPS_PER_PIXEL),
            qRound(0.9 * w / CBoardGeometry::TWIPS_PER_PIXEL)};
}

void cntrlChessGui::objGameTree(const std::shared_ptr<CGameTree>& newTree) {
    if (newTree == nullptr) return;
    tree = newTree;
    // Marks belong to the tree they were given with, and so do a piece being dragged (its drop
    // plays nothing on the new game) and a move typed but not entered, with the word on the last.
    tries.clear();
    CancelDrag();
    txtMove->clear();
    lblMoveResult->clear();
    if (tree->objCurrentNode() != nullptr && tree->objCurrentNode()->objPosition() != nullptr)
        position = tree->objCurrentNode()->objPosition();
    cmdNavigation_Click(0);
}

void cntrlChessGui::isWhiteOnTop(bool value) {
    if (value != whiteOnTop) CancelDrag();
    whiteOnTop = value;
    update(rcWidget(geometry.rcBoard()));
    DisplayPosition();
}

void cntrlChessGui::SquareColorDark(quint32 value) {
    colorDark = value;
    propertyChanged = true;
    PaintSquares();
}

void cntrlChessGui::SquareColorLight(quint32 value) {
    colorLight = value;
    propertyChanged = true;
    PaintSquares();
}

void cntrlChessGui::SquareSize(double value) {
    geometry = CBoardGeometry(value);
    propertyChanged = true;
    LayoutBoard();
}

void cntrlChessGui::Mode(BoardMode value) {
    // Setup hides the tints of the last move and of a check: repaint them on the way in and out.
    if ((mode == BoardMode::Setup) != (value == BoardMode::Setup)) {
        UpdateSquare(lastFrom);
        UpdateSquare(lastTo);
        UpdateSquare(checkSquare);
    }
    // A piece picked up in one mode is not put down in another.
    if (value != mode) CancelDrag();
    mode = value;
    ClearSelection();
    if (fillingSpace) {
        updateGeometry();
        FitToSize();
    }
    if (mode == BoardMode::View) EnableNavigation(true);
    HideMoveLine();
    propertyChanged = true;
    ShowSetupPanel(mode == BoardMode::Setup);
}

QString cntrlChessGui::GameStatus() const {
    // A position given as it is (a FEN, a setup, a host's position) names only the side to move,
    // even when that side is already mated or stalemated.
    return QString::fromStdString(objShownStatus(*position)->strToString());
}

void cntrlChessGui::EnableNavigation(bool isEnable) {
    for (QPushButton* button : cmdNavigation)
        button->setEnabled(isEnable);
}

void cntrlChessGui::ReadProperties(const CPropertyStore& store) {
    geometry = CBoardGeometry(store.ReadProperty("SquareSize", 500.0).toDouble());
    LayoutBoard();
    colorLight = store.ReadProperty("SquareColorLight", int(DEFAULT_LIGHT)).toUInt();
    colorDark = store.ReadProperty("SquareColorDark", int(DEFAULT_DARK)).toUInt();
    PaintSquares();
    Mode(store.ReadProperty("Mode", 1).toInt());
}

void cntrlChessGui::WriteProperties(CPropertyStore& store) const {
    store.WriteProperty("SquareSize", geometry.dblSquareSize(), 500.0);
    store.WriteProperty("SquareColorLight", int(colorLight), int(DEFAULT_LIGHT));
    store.WriteProperty("SquareColorDark", int(colorDark), int(DEFAULT_DARK));
    store.WriteProperty("Mode", int(mode), 1);
}

void cntrlChessGui::SetMessageBox(std::shared_ptr<CMessageBox> box) {
    if (box != nullptr) messageBox = std::move(box);
}

void cntrlChessGui::SetPromotionChooser(PromotionChooser chooser) {
    if (chooser) promotionChooser = std::move(chooser);
}

QString cntrlChessGui::strFileLabel(int k) const {
    return QString::fromStdString(CBoardGeometry::strFileLabel(k, whiteOnTop));
}

QString cntrlChessGui::strRankLabel(int k) const {
    return QString::fromStdString(CBoardGeometry::strRankLabel(k, whiteOnTop));
}

void cntrlChessGui::RaiseStatus() {
    emit Status(GameStatus(), position->intMoveNumber());
}
