// Setup mode of the board control: the rack, clearing, the start position, applying a setup, and
// the diagram text of the pictures.
#include "board/cntrlChessGui.h"
#include "game/CGameNode.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/PositionConstructors.h"
#include "game/PositionSoundness.h"
#include "model/CChessSquare.h"
#include "model/CDiagram.h"
#include "model/CError.h"
#include "model/CGameStatus.h"
#include "model/Constructors.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>

QString cntrlChessGui::GetDiagramFromGui() const {
    QString text;
    text.reserve(64);
    for (int i = 0; i < 64; ++i) {
        const QString letter = CPiecePictures::strSlotLetter(pictures[i]);
        text += letter.isEmpty() ? QString("e") : letter;
    }
    return text;
}

void cntrlChessGui::DisplayDiagram(const QString& strDiagram) {
    for (int i = 0; i < 64; ++i) {
        const QChar ch = i < strDiagram.size() ? strDiagram[i] : QChar('e');
        SetPicture(i, CPiecePictures::intSlotOfLetter(ch));
        SetPictureVisible(i, !phantom[i]);
    }
}

void cntrlChessGui::ClearPosition() {
    if (mode != BoardMode::Setup) RaiseError("cntrlChessGui", "Cannot clear if not in SetUp mode");
    // The shown position may be a node's own object: empty a copy, never the tree's position.
    auto cleared = position->objClone();
    std::shared_ptr<CDiagram> diagram = cleared->objDiagram();
    for (int i = 0; i < 64; ++i)
        diagram = diagram->objRemove(objSquareAt(i));
    cleared->objDiagram(diagram);
    position = cleared;
    DisplayPosition();
}

void cntrlChessGui::NewTreeWith(const std::shared_ptr<CPosition>& pos) {
    CancelDrag(); // a piece picked up in the old game is put down in no other
    tree = std::make_shared<CGameTree>();
    tree->Add(pos, nextNodes);
}

void cntrlChessGui::InitialPosition() {
    HideMoveLine();
    position = objNewStartPosition();
    NewTreeWith(position);
    DisplayPosition();
    RefreshVariations(nextNodes);
    HideCircle();
    HideMoveLine();
    ClearMoveLists();
    RaiseStatus();
}

void cntrlChessGui::ResetTree(const std::shared_ptr<CPosition>& pos) {
    CancelDrag(); // a piece picked up in the old game is put down in no other
    // A position built with an en-passant file carries the text of the double step; as the
    // root of a game it must read "..." so that the tree keys it as its root and can add to it.
    pos->strMoveText("...");
    auto root = std::make_shared<CGameNode>();
    root->InitFromPosition("", pos);
    root->strKey(CGameNode::strINITIAL_KEY());
    tree->objCurrentNode(root);
    tree->Remove(CGameNode::strINITIAL_KEY());
    tree->Add(pos, nextNodes);
}

bool cntrlChessGui::isPositionSound(const std::shared_ptr<CPosition>& pos) const {
    return pos->objDiagram() && strUnsoundReason(*pos).empty();
}

void cntrlChessGui::ApplySetup() {
    if (mode != BoardMode::Setup)
        RaiseError("cntrlChessGui", "Cannot apply setup if not in SetUp mode");
    HideMoveLine();
    const QString d = GetDiagramFromGui();
    // A diagram without one king of each colour makes no position at all.
    const QString title = "Chess";
    if (d.count('K') == 0) return messageBox->ShowWarning(this, "The white king is missing", title);
    if (d.count('K') >= 2) return messageBox->ShowWarning(this, "Too many white kings", title);
    if (d.count('k') == 0) return messageBox->ShowWarning(this, "The black king is missing", title);
    if (d.count('k') >= 2) return messageBox->ShowWarning(this, "Too many black kings", title);
    const std::vector<bool> forfeits = {!chkWhiteOO->isChecked(), !chkWhiteOOO->isChecked(),
                                        !chkBlackOO->isChecked(), !chkBlackOOO->isChecked()};
    // The file as typed, a square too: "D6" names the d-file.
    const std::string letter = cboEP->currentText().trimmed().left(1).toLower().toStdString();
    const bool white = chkWhiteToMove->isChecked();
    // The pictures are read in display order; a flipped board shows the diagram turned round.
    std::string cells = d.toStdString();
    if (whiteOnTop) std::reverse(cells.begin(), cells.end());
    auto pos =
        objNewPosition(objNewDiagram(cells),
                       white ? CGameStatus::objWHITE_TO_MOVE() : CGameStatus::objBLACK_TO_MOVE(),
                       white ? 0 : 1, forfeits, letter);
    const std::string unsound = strUnsoundReason(*pos);
    if (!unsound.empty())
        return messageBox->ShowWarning(this, QString::fromStdString(unsound), title);
    position = pos;
    // The pictures already show the setup; only the last move and a check are brought up to date.
    NoteMove(nullptr, false);
    UpdateCheck();
    ResetTree(position);
    RefreshVariations(nextNodes);
    ClearMoveLists();
    Mode(BoardMode::FreePlay);
    HideCircle();
    HideMoveLine();
}

void cntrlChessGui::cmdClear_Click() {
    try {
        ClearPosition();
    } catch (...) {
    }
}

void cntrlChessGui::cmdInitPos_Click() {
    try {
        InitialPosition();
        // The panel too: in the start position both sides may castle either way, White to move.
        SetFen(QString::fromStdString(position->strGetFEN()));
    } catch (...) {
    }
}

void cntrlChessGui::cmdApplySetup_Click() {
    try {
        ApplySetup();
    } catch (...) {
    }
    emit Setup();
}
