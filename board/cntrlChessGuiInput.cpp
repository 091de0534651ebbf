// Move input of the board control: dragging, drops in each mode, training judgement and the
// program's replies, and moves given as text.
#include "board/cntrlChessGui.h"
#include "game/CGameNode.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "model/CChessPiece.h"
#include "model/CChessSquare.h"
#include "model/CDiagram.h"
#include "model/CError.h"
#include "model/CGameStatus.h"
#include "model/CPiece.h"
#include "model/CPieceColor.h"
#include "model/CPieceLocation.h"
#include "model/Constructors.h"

#include <QListWidget>
#include <QMouseEvent>

namespace {
int shiftBits(Qt::KeyboardModifiers modifiers) {
    int bits = 0;
    if (modifiers & Qt::ShiftModifier) bits |= 1;
    if (modifiers & Qt::ControlModifier) bits |= 2;
    if (modifiers & Qt::AltModifier) bits |= 4;
    return bits;
}

QString strCleanMove(const QString& text) {
    QString clean = text;
    clean.remove('+');
    clean.remove('P');
    return clean;
}

bool isEmptyNodes(const cntrlChessGui::NodeArray& nodes) {
    for (const auto& node : nodes)
        if (node != nullptr) return false;
    return true;
}
} // namespace

int cntrlChessGui::intFindSquare(const QPoint& pos) const {
    const double k = CBoardGeometry::TWIPS_PER_PIXEL;
    return geometry.intDropSquare((pos.x() + 0.5) * k, (pos.y() + 0.5) * k);
}

int cntrlChessGui::intFindRack(const QPoint& pos) const {
    if (!rackShown) return -1;
    for (int slot = 0; slot < CPiecePictures::SLOTS; ++slot)
        if (rcRackPixels(slot).contains(pos)) return slot;
    return -1;
}

void cntrlChessGui::mousePressEvent(QMouseEvent* event) {
    pressIndex = -1;
    pressRack = -1;
    if (event->button() != Qt::LeftButton) return;
    const QPoint pos = event->position().toPoint();
    pressRack = intFindRack(pos);
    if (pressRack >= 0) {
        RackDragStart(pressRack);
        return;
    }
    pressIndex = intFindSquare(pos);
}

void cntrlChessGui::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return;
    const QPoint pos = event->position().toPoint();
    try {
        if (pressRack >= 0) {
            if (!rackDragging) setCursor(Qt::ClosedHandCursor);
            rackDragging = true;
            DragFollow(pos);
        } else if (pressIndex >= 0) {
            if (!dragging)
                DragStart(pressIndex, pos, event->modifiers() & Qt::ControlModifier);
            else
                DragFollow(pos);
        }
    } catch (...) {
        // A user's drag never ends in an error.
    }
}

void cntrlChessGui::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint pos = event->position().toPoint();
    const int start = pressIndex;
    const int rack = pressRack;
    pressIndex = -1;
    pressRack = -1;
    try {
        if (rack >= 0) {
            RackDrop(pos);
        } else if (start >= 0) {
            if (dragging) DragDrop(start, pos, shiftBits(event->modifiers()));
            if (intFindSquare(pos) == start)
                emit SquareClicked(start, QString::fromStdString(
                                              CBoardGeometry::strSquareName(start, whiteOnTop)));
        }
    } catch (...) {
        // Square clicks continue past errors raised by a handler.
    }
}

void cntrlChessGui::UpdateDrag() {
    const double pic = geometry.dblPictureSize() / CBoardGeometry::TWIPS_PER_PIXEL;
    update(QRectF(dragPos.x() - pic / 2, dragPos.y() - pic / 2, pic, pic)
               .toAlignedRect()
               .adjusted(-2, -2, 2, 2));
}

void cntrlChessGui::DragFollow(const QPoint& pos) {
    UpdateDrag();
    dragPos = pos;
    dragShown = true;
    UpdateDrag();
}

void cntrlChessGui::DragStart(int index, const QPoint& pos, bool ctrl) {
    if (mode == 2) return;
    const int file = CBoardGeometry::intGetFile(index, whiteOnTop);
    const int rank = CBoardGeometry::intGetRank(index, whiteOnTop);
    const bool empty = position->objDiagram()->intCodeAt(file + 8 * rank) == 0;
    if (empty && (mode == 0 || mode == 3)) return;
    dragging = true;
    setCursor(Qt::ClosedHandCursor);
    dragSlot = pictures[index];
    if (!(mode == 1 && !ctrl)) SetPictureVisible(index, false);
    DragFollow(pos);
}

void cntrlChessGui::DragDrop(int index, const QPoint& pos, int shift) {
    unsetCursor();
    const int drop = intFindSquare(pos);
    try {
        if (drop < 0) {
            if (mode == 1) SetPicture(index, -1);
        } else {
            MakeMove(index, drop, shift);
        }
    } catch (...) {
        dragging = false;
        SetPictureVisible(index, !phantom[index]);
        UpdateDrag();
        dragShown = false;
        throw;
    }
    dragging = false;
    SetPictureVisible(index, !phantom[index]);
    UpdateDrag();
    dragShown = false;
}

void cntrlChessGui::RackDragStart(int slot) {
    dragSlot = slot;
}

void cntrlChessGui::RackDrop(const QPoint& pos) {
    unsetCursor();
    if (rackDragging) {
        const int drop = intFindSquare(pos);
        if (drop >= 0) SetPicture(drop, dragSlot);
        rackDragging = false;
    }
    UpdateDrag();
    dragShown = false;
}

bool cntrlChessGui::isProgramToMove() const {
    const std::string& status = position->objStatus()->strName();
    return (computerPlays == 0 && status == CGameStatus::objWHITE_TO_MOVE()->strName()) ||
           (computerPlays == 1 && status == CGameStatus::objBLACK_TO_MOVE()->strName());
}

std::shared_ptr<CChessPiece> cntrlChessGui::objAskPromotion() {
    const bool white =
        position->objStatus()->strToString() == CGameStatus::objWHITE_TO_MOVE()->strToString();
    const QString letter = promotionChooser(this);
    if (letter != "Q" && letter != "N" && letter != "B" && letter != "R") return nullptr;
    return objNewChessPiece(objNewPiece(letter.toStdString()),
                            white ? CPieceColor::objWHITE() : CPieceColor::objBLACK(), "");
}

void cntrlChessGui::MakeMove(int intSourceSquare, int intDropSquare, int shift) {
    const int s = intSourceSquare;
    const int d = intDropSquare;
    if (mode == 2) return;
    if (mode == 1) {
        if (s < 0 || s > 63 || d < 0 || d > 63 || s == d) return;
        SetPicture(d, dragSlot);
        if (!pictureVisible[d]) SetPictureVisible(d, !phantom[d]);
        if (shift & 2) SetPicture(s, -1);
        return;
    }
    if (mode != 0 && mode != 3) return;
    if (s < 0 || s > 63 || d < 0 || d > 63) {
        emit Moved("");
        return;
    }
    const auto& fromSquare = CChessSquare::objGetSquare(CBoardGeometry::intGetFile(s, whiteOnTop),
                                                        CBoardGeometry::intGetRank(s, whiteOnTop));
    const auto& toSquare = CChessSquare::objGetSquare(CBoardGeometry::intGetFile(d, whiteOnTop),
                                                      CBoardGeometry::intGetRank(d, whiteOnTop));
    const std::shared_ptr<CChessPiece> piece = position->objDiagram()->objGetChessPiece(fromSquare);
    if (piece->intCode() == 0) {
        emit Moved("");
        return;
    }

    std::shared_ptr<CChessPiece> landing = piece;
    const bool whiteToMove =
        position->objStatus()->strToString() == CGameStatus::objWHITE_TO_MOVE()->strToString();
    const bool blackToMove =
        position->objStatus()->strToString() == CGameStatus::objBLACK_TO_MOVE()->strToString();
    const bool pawn = piece->objPiece()->strToString() == "P";
    if (pawn &&
        ((whiteToMove && toSquare->intRank() == 7) || (blackToMove && toSquare->intRank() == 0)))
        landing = objAskPromotion();

    std::shared_ptr<CPosition> next;
    std::shared_ptr<CMove> move;
    if (landing != nullptr) {
        move = objNewMove(objNewPieceLocation(fromSquare, piece),
                          objNewPieceLocation(toSquare, landing));
        if (position->isLegalMove(*move)) next = position->objMove1(*move);
    }
    if (next == nullptr) {
        emit Moved("");
    } else {
        const QString t = strCleanMove(QString::fromStdString(position->strGetMoveNotation(*move)));
        if (mode == 3) {
            bool stored = false;
            for (const auto& child : tree->arrobjGetNextNodes(tree->objCurrentNode())) {
                if (child == nullptr || child->objPosition() == nullptr) continue;
                QString text = QString::fromStdString(child->objPosition()->strMoveText());
                text.remove('#');
                if (text == t) {
                    stored = true;
                    break;
                }
            }
            if (!stored) {
                emit TrainingStatus("Wrong move");
                emit Moved("");
                return;
            }
        }
        emit Moved(t);
        position = next;
        RefreshVariations(nextNodes);
        AddToMoveLists(position, t);
        tree->Add(position->objClone(), nextNodes);
        if (mode == 3) {
            if (isEmptyNodes(nextNodes)) {
                emit TrainingStatus("Successful");
                lstVariations->clear();
            } else if (isProgramToMove()) {
                const QString reply = strPlayComputerReply(nextNodes);
                emit TrainingStatus(reply);
                if (tree->arrobjGetNextNodes(tree->objCurrentNode()).empty()) {
                    emit TrainingStatus("Successful");
                    lstVariations->clear();
                }
            }
        }
    }
    DisplayPosition();
    RaiseStatus();
}

QString cntrlChessGui::strPlayComputerReply(const NodeArray& children) {
    NodeArray present;
    for (const auto& child : children)
        if (child != nullptr && child->objPosition() != nullptr) present.push_back(child);
    if (present.empty()) return "";
    size_t chosen = 0;
    if (present.size() > 1)
        chosen = std::uniform_int_distribution<size_t>(0, present.size() - 1)(random);
    QString text = QString::fromStdString(present[chosen]->objPosition()->strMoveText());
    MovePgn(text, true, true);
    return text;
}

void cntrlChessGui::MovePgn(const QString& strPgn, bool isDisplayPosition, bool isGenerateEvent) {
    int unusedFrom = 0;
    int unusedTo = 0;
    PlayText(strPgn, false, unusedFrom, unusedTo, isDisplayPosition, isGenerateEvent);
}

void cntrlChessGui::MovePgn2(const QString& strPgn, int& iFromIndex, int& iToIndex,
                             bool isDisplayPosition, bool isGenerateEvent) {
    PlayText(strPgn, true, iFromIndex, iToIndex, isDisplayPosition, isGenerateEvent);
}

void cntrlChessGui::PlayText(const QString& strPgn, bool withIndices, int& iFromIndex,
                             int& iToIndex, bool isDisplayPosition, bool isGenerateEvent) {
    const std::string text = strPgn.toStdString();
    std::shared_ptr<CPieceLocation> starting;
    std::shared_ptr<CPieceLocation> ending;
    // Moves never change the position they start from, so the text is tried on the current
    // position itself: a refusal or an error leaves everything as it was.
    std::shared_ptr<CPosition> next;
    try {
        next = withIndices ? position->objProcessMove2(position, text, starting, ending)
                           : position->objProcessMove(position, text);
    } catch (const CError& e) {
        // A readable move that no piece can make is a refused move like any other.
        if (std::string(e.what()).rfind("No Move ", 0) != 0) throw;
        next = nullptr;
    }
    if (next == nullptr) {
        if (isGenerateEvent) emit Moved("");
        RaiseStatus();
        return;
    }
    position = next;
    if (withIndices) {
        if (starting != nullptr && ending != nullptr) {
            iFromIndex =
                CBoardGeometry::intGetIndex(starting->objSquare()->strToString(), whiteOnTop);
            iToIndex = CBoardGeometry::intGetIndex(ending->objSquare()->strToString(), whiteOnTop);
        } else if (strPgn.contains("-O")) {
            const bool blackCastled = position->objStatus()->strToString() ==
                                      CGameStatus::objWHITE_TO_MOVE()->strToString();
            const char* rank = blackCastled ? "8" : "1";
            if (strPgn == "O-O" || strPgn == "O-O-O") {
                const std::string to = strPgn == "O-O" ? "g" : "c";
                iFromIndex = CBoardGeometry::intGetIndex(std::string("e") + rank, whiteOnTop);
                iToIndex = CBoardGeometry::intGetIndex(to + rank, whiteOnTop);
            }
        }
    }
    tree->Add(position->objClone(), nextNodes);
    RefreshVariations(nextNodes);
    AddToMoveLists(position, strPgn);
    if (isDisplayPosition) DisplayPosition();
    if (isGenerateEvent) emit Moved(strCleanMove(strPgn));
    RaiseStatus();
}
