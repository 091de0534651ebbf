// Move input of the board control: dragging, drops in each mode, training moves taken by the
// training judgement with the program's replies, and moves given as text.
#include "board/MoveTextInput.h"
#include "board/cntrlChessGui.h"
#include "game/CGameNode.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/SideToMove.h"
#include "game/TrainingJudgement.h"
#include "model/CChessPiece.h"
#include "model/CChessSquare.h"
#include "model/CDiagram.h"
#include "model/CGameStatus.h"
#include "model/CPiece.h"
#include "model/CPieceColor.h"
#include "model/CPieceLocation.h"
#include "model/Constructors.h"
#include "model/PieceCodes.h"

#include <QListWidget>

namespace {
QString strCleanMove(const QString& text) {
    QString clean = text;
    clean.remove('+');
    clean.remove('P');
    return clean;
}
} // namespace

bool cntrlChessGui::isProgramToMove() const {
    return (computerPlays == 0 && position->isWhiteToMove()) ||
           (computerPlays == 1 && position->isBlackToMove());
}

std::shared_ptr<CChessPiece> cntrlChessGui::objAskPromotion() {
    const bool white = position->isWhiteToMove();
    const QString letter = pendingPromotion != 0 ? QString(QChar::fromLatin1(pendingPromotion))
                                                 : promotionChooser(this);
    if (letter != "Q" && letter != "N" && letter != "B" && letter != "R") return nullptr;
    return objNewChessPiece(objNewPiece(letter.toStdString()),
                            white ? CPieceColor::objWHITE() : CPieceColor::objBLACK(), "");
}

void cntrlChessGui::MakeMove(int intSourceSquare, int intDropSquare, int shift) {
    const int s = intSourceSquare;
    const int d = intDropSquare;
    if (mode == BoardMode::Setup) return PlaceSetupPiece(s, d, shift);
    if (mode != BoardMode::FreePlay && mode != BoardMode::Training) return;
    if (s < 0 || s > 63 || d < 0 || d > 63 ||
        position->objDiagram()->objGetChessPiece(objSquareAt(s))->intCode() == 0)
        return void(emit Moved(""));
    const std::shared_ptr<CMove> move = objDroppedMove(s, d);
    if (move == nullptr) {
        emit Moved("");
    } else {
        const QString t = strCleanMove(QString::fromStdString(position->strGetMoveNotation(*move)));
        if (mode == BoardMode::Training && isRefusedInTraining(t, s, d)) return;
        emit Moved(t);
        PlayDroppedMove(*move, t);
    }
    DisplayPosition();
    RaiseStatus();
}

void cntrlChessGui::PlaceSetupPiece(int from, int to, int shift) {
    if (from < 0 || from > 63 || to < 0 || to > 63 || from == to) return;
    SetPicture(to, dragSlot);
    if (!pictureVisible[to]) SetPictureVisible(to, !phantom[to]);
    if (shift & 2) SetPicture(from, -1);
}

const std::shared_ptr<CChessSquare>& cntrlChessGui::objSquareAt(int index) const {
    return CChessSquare::objGetSquare(CBoardGeometry::intGetFile(index, whiteOnTop),
                                      CBoardGeometry::intGetRank(index, whiteOnTop));
}

std::shared_ptr<CMove> cntrlChessGui::objDroppedMove(int from, int to) {
    const auto& fromSquare = objSquareAt(from);
    const auto& toSquare = objSquareAt(to);
    const std::shared_ptr<CChessPiece> piece = position->objDiagram()->objGetChessPiece(fromSquare);
    std::shared_ptr<CChessPiece> landing = piece;
    const int rank = toSquare->intRank();
    const bool promotes =
        piece->objPiece()->strToString() == "P" && ((position->isWhiteToMove() && rank == Rank8) ||
                                                    (position->isBlackToMove() && rank == Rank1));
    if (promotes) {
        const std::shared_ptr<CPosition> asked = position;
        const BoardMode askedMode = mode;
        pendingPromotionSquare = to;
        landing = objAskPromotion();
        pendingPromotionSquare = -1;
        // The board may have been given another game or mode while the piece was chosen.
        if (landing == nullptr || position != asked || mode != askedMode) return nullptr;
    }
    auto move =
        objNewMove(objNewPieceLocation(fromSquare, piece), objNewPieceLocation(toSquare, landing));
    return position->isLegalMove(*move) ? move : nullptr;
}

bool cntrlChessGui::isRefusedInTraining(const QString& text, int from, int to) {
    const TrainingJudgement judged = objJudgeTrainingMove(
        arrStoredMoves(*tree, tree->objCurrentNode()), text.toStdString(), tries);
    if (judged.verdict == TrainingVerdict::Solution) return false;
    refusedFrom = from;
    refusedTo = to;
    PlaySound("failure");
    if (judged.verdict == TrainingVerdict::RefutedTry) ShowRefutedTry(judged.objNode, from, to);
    emit TrainingStatus("Wrong move");
    emit Moved("");
    return true;
}

void cntrlChessGui::PlayDroppedMove(const CMove& move, const QString& text) {
    const std::shared_ptr<CPosition> before = position;
    position = position->objMove1(move);
    NoteMove(before, false);
    PlayMoveSound(before);
    AddToMoveLists(position, text);
    tree->Add(position, nextNodes);
    RefreshVariations(nextNodes);
    if (mode != BoardMode::Training) return;
    const GameNodeList replies = arrStoredMoves(*tree, tree->objCurrentNode());
    if (replies.empty()) {
        FinishLine();
    } else if (isProgramToMove()) {
        emit TrainingStatus(strPlayComputerReply(replies));
        if (arrStoredMoves(*tree, tree->objCurrentNode()).empty()) FinishLine();
    }
}

QString cntrlChessGui::strPlayComputerReply(const GameNodeList& replies) {
    const auto reply = objChooseReply(replies, random);
    if (reply == nullptr) return "";
    QString text = QString::fromStdString(reply->objPosition()->strMoveText());
    MovePgn(text, true, true);
    return text;
}

void cntrlChessGui::FinishLine() {
    PlaySound("success");
    emit TrainingStatus("Successful");
    lstVariations->clear();
}

// A refused try stays on the board as a red arrow, with the first move of its stored refutation
// in blue, until the trainee picks up a piece.
void cntrlChessGui::ShowRefutedTry(const std::shared_ptr<CGameNode>& tryNode, int from, int to) {
    ClearArrows();
    DrawArrow(from, to, CBoardMarks::Red);
    const GameNodeList refutation = arrRefutation(*tree, tryNode, 1);
    if (!refutation.empty()) {
        const CPosition& after = *tryNode->objPosition();
        const auto [a, b] =
            LastMoveSquares(after, *refutation.front()->objPosition(), isWhiteSideToMove(after));
        if (a >= 0 && b >= 0 && marks.AddArrow(a, b, CBoardMarks::Blue)) UpdateArrow(a, b);
    }
    emit RefutedTry(QString::fromStdString(tryNode->strKey()));
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
    // position itself: a refusal leaves everything as it was, and a readable move that no piece
    // can make is a refused move like any other.
    const std::shared_ptr<CPosition> next = position->objPlayMoveText(text, starting, ending);
    if (next == nullptr) {
        if (isGenerateEvent) emit Moved("");
        RaiseStatus();
        return;
    }
    const std::shared_ptr<CPosition> before = position;
    position = next;
    NoteMove(before, isDisplayPosition);
    if (isDisplayPosition) PlayMoveSound(before);
    if (withIndices) {
        if (starting != nullptr && ending != nullptr) {
            iFromIndex =
                CBoardGeometry::intGetIndex(starting->objSquare()->strToString(), whiteOnTop);
            iToIndex = CBoardGeometry::intGetIndex(ending->objSquare()->strToString(), whiteOnTop);
        } else if (strPgn.contains("-O")) {
            const bool blackCastled = position->isWhiteToMove();
            const char* rank = blackCastled ? "8" : "1";
            if (strPgn == "O-O" || strPgn == "O-O-O") {
                const std::string to = strPgn == "O-O" ? "g" : "c";
                iFromIndex = CBoardGeometry::intGetIndex(std::string("e") + rank, whiteOnTop);
                iToIndex = CBoardGeometry::intGetIndex(to + rank, whiteOnTop);
            }
        }
    }
    tree->Add(position, nextNodes);
    RefreshVariations(nextNodes);
    AddToMoveLists(position, strPgn);
    if (isDisplayPosition) DisplayPosition();
    if (isGenerateEvent) emit Moved(strCleanMove(strPgn));
    RaiseStatus();
}

void cntrlChessGui::PlayMoveSound(const std::shared_ptr<CPosition>& before) {
    // The names are literals made at compile time: a drop builds no text for its sound.
    if (intCheckedKing(*position) >= 0)
        PlaySound(QStringLiteral("check"));
    else if (position->objDiagram()->intCount() < before->objDiagram()->intCount())
        PlaySound(QStringLiteral("capture"));
    else
        PlaySound(QStringLiteral("move"));
}

QString cntrlChessGui::strPlayMoveText(const QString& strMove) {
    const QString text = strMove.trimmed();
    if (mode != BoardMode::FreePlay && mode != BoardMode::Training)
        return "Moves are not taken on this board now.";
    if (text.isEmpty()) return "Type a move, for example Nf3 or g1f3.";
    const MoveTextMatch match = objMatchMoveText(position, text.toStdString());
    switch (match.result) {
    case MoveTextMatch::Unreadable:
        return "\"" + text + "\" is not a move.";
    case MoveTextMatch::Illegal:
        return "\"" + text + "\" is not a legal move here.";
    case MoveTextMatch::Ambiguous:
        return "\"" + text + "\" fits more than one move: add the file or rank.";
    case MoveTextMatch::Played:
        break;
    }
    ClearSelection();
    pendingPromotion = match.promotion;
    try {
        MakeMove(CBoardGeometry::intIndexOfSquare(match.from, whiteOnTop),
                 CBoardGeometry::intIndexOfSquare(match.to, whiteOnTop), 0);
    } catch (...) {
        pendingPromotion = 0;
        throw;
    }
    pendingPromotion = 0;
    return {};
}
