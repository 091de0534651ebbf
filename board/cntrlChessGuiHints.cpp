// What the board shows beside the pieces: the selected piece with its legal targets, the last
// move, a king in check, arrows and square marks, the slide of a move given as text, the board
// theme and the sounds of moves.
#include "board/CBoardSounds.h"
#include "board/CBoardTheme.h"
#include "board/MoveTextInput.h"
#include "board/cntrlChessGui.h"
#include "game/CGameNode.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "model/CDiagram.h"
#include "model/PieceCodes.h"

#include <QVariantAnimation>

void cntrlChessGui::UpdateSquare(int square) {
    const int index = CBoardGeometry::intIndexOfSquare(square, whiteOnTop);
    if (index >= 0) update(rcSquareSnapped(index));
}

void cntrlChessGui::UpdateArrow(int from, int to) {
    const QRect a = rcSquarePixels(CBoardGeometry::intIndexOfSquare(from, whiteOnTop));
    const QRect b = rcSquarePixels(CBoardGeometry::intIndexOfSquare(to, whiteOnTop));
    update(a.united(b).adjusted(-4, -4, 4, 4));
}

void cntrlChessGui::SetTargets(int square) {
    const auto old = targets;
    // The targets are known even while their marks are switched off: click-click needs them.
    targets = square >= 0 ? arrLegalTargets(position, square) : std::array<unsigned char, 64>{};
    for (int sq = 0; sq < 64; ++sq)
        if (old[sq] != targets[sq]) UpdateSquare(sq);
}

void cntrlChessGui::SelectSquare(int index) {
    int square = -1;
    if (index >= 0 && index < 64 && (mode == BoardMode::FreePlay || mode == BoardMode::Training)) {
        const int code =
            position->objDiagram()->intCodeAt(CBoardGeometry::intSquareOfIndex(index, whiteOnTop));
        const bool own = position->isWhiteToMove() ? (code >= 1 && code <= 6) : code >= 7;
        if (own) square = CBoardGeometry::intSquareOfIndex(index, whiteOnTop);
    }
    if (selected >= 0) UpdateSquare(selected);
    selected = square;
    if (selected >= 0) UpdateSquare(selected);
    SetTargets(selected);
}

void cntrlChessGui::ClearSelection() {
    if (selected < 0) return;
    SelectSquare(-1);
}

int cntrlChessGui::intSelectedSquare() const {
    return CBoardGeometry::intIndexOfSquare(selected, whiteOnTop);
}

int cntrlChessGui::intTargetMark(int index) const {
    if (index < 0 || index > 63 || !legalHints) return 0;
    return targets[CBoardGeometry::intSquareOfIndex(index, whiteOnTop)];
}

void cntrlChessGui::isLegalHintsShown(bool value) {
    legalHints = value;
    for (int sq = 0; sq < 64; ++sq)
        if (targets[sq] != 0) UpdateSquare(sq);
}

std::pair<int, int> cntrlChessGui::LastMove() const {
    return {CBoardGeometry::intIndexOfSquare(lastFrom, whiteOnTop),
            CBoardGeometry::intIndexOfSquare(lastTo, whiteOnTop)};
}

void cntrlChessGui::isLastMoveShown(bool value) {
    lastMoveShown = value;
    UpdateSquare(lastFrom);
    UpdateSquare(lastTo);
}

int cntrlChessGui::intCheckSquare() const {
    return CBoardGeometry::intIndexOfSquare(checkSquare, whiteOnTop);
}

void cntrlChessGui::UpdateCheck() {
    const int now = intCheckedKing(*position);
    if (now == checkSquare) return;
    UpdateSquare(checkSquare);
    checkSquare = now;
    UpdateSquare(checkSquare);
}

void cntrlChessGui::NoteMove(const std::shared_ptr<CPosition>& before, bool slide) {
    StopSlide();
    ClearSelection();
    ClearArrows();
    UpdateSquare(lastFrom);
    UpdateSquare(lastTo);
    lastFrom = lastTo = -1;
    notedPosition = position;
    if (before == nullptr || before == position) return;
    const auto [from, to] = LastMoveSquares(*before, *position, before->isWhiteToMove());
    lastFrom = from;
    lastTo = to;
    UpdateSquare(lastFrom);
    UpdateSquare(lastTo);
    if (slide && isVisible() && animateMoves && animationMs > 0) StartSlide(from, to);
}

void cntrlChessGui::NoteNavigation() {
    std::shared_ptr<CPosition> before;
    const auto node = tree->objCurrentNode();
    if (node != nullptr && node->strKey() != CGameNode::strINITIAL_KEY() &&
        tree->isExists(node->strParentKey()))
        before = tree->Item(node->strParentKey())->objPosition();
    NoteMove(before, false);
}

void cntrlChessGui::DrawArrow(int iFrom, int iTo, int color) {
    const int from =
        iFrom >= 0 && iFrom < 64 ? CBoardGeometry::intSquareOfIndex(iFrom, whiteOnTop) : -1;
    const int to = iTo >= 0 && iTo < 64 ? CBoardGeometry::intSquareOfIndex(iTo, whiteOnTop) : -1;
    if (marks.AddArrow(from, to, color)) UpdateArrow(from, to);
}

bool cntrlChessGui::DrawMoveArrow(const QString& strMove, int color) {
    const MoveTextMatch match = objMatchMoveText(position, strMove.toStdString());
    if (match.result != MoveTextMatch::Played) return false;
    if (marks.AddArrow(match.from, match.to, color)) UpdateArrow(match.from, match.to);
    return true;
}

void cntrlChessGui::MarkSquare(int index, int color) {
    if (index < 0 || index > 63) return;
    const int square = CBoardGeometry::intSquareOfIndex(index, whiteOnTop);
    if (marks.ToggleMark(square, color)) UpdateSquare(square);
}

void cntrlChessGui::ClearArrows() {
    if (marks.isEmpty()) return;
    for (const auto& arrow : marks.arrArrows())
        UpdateArrow(arrow.from, arrow.to);
    for (int sq = 0; sq < 64; ++sq)
        if (marks.intMark(sq) >= 0) UpdateSquare(sq);
    marks.Clear();
}

void cntrlChessGui::isAnimateMoves(bool value) {
    animateMoves = value;
    if (!value) StopSlide();
}

void cntrlChessGui::intAnimationMs(int value) {
    animationMs = std::clamp(value, 0, 2000);
    if (animationMs == 0) StopSlide();
}

QRectF cntrlChessGui::rcSlidePiece() const {
    const double k = CBoardGeometry::TWIPS_PER_PIXEL;
    const CTwipRect a = geometry.rcPicture(CBoardGeometry::intIndexOfSquare(animFrom, whiteOnTop));
    const CTwipRect b = geometry.rcPicture(CBoardGeometry::intIndexOfSquare(animTo, whiteOnTop));
    const double left = a.left + (b.left - a.left) * animAt;
    const double top = a.top + (b.top - a.top) * animAt;
    return {left / k, top / k, a.width / k, a.height / k};
}

void cntrlChessGui::StartSlide(int from, int to) {
    if (from < 0 || to < 0) return;
    // The pictures may not show the new position yet: the piece is taken from the position.
    const int slot = CPiecePictures::intSlotOfLetter(
        QChar::fromLatin1(symbolOfCode(position->objDiagram()->intCodeAt(to))));
    if (slot < 0) return;
    animPiece = slot;
    animFrom = from;
    animTo = to;
    animAt = 0;
    UpdateSquare(to);
    update(rcSlidePiece().toAlignedRect().adjusted(-1, -1, 1, 1));
    if (animation == nullptr) {
        animation = new QVariantAnimation(this);
        animation->setStartValue(0.0);
        animation->setEndValue(1.0);
        animation->setEasingCurve(QEasingCurve::OutCubic);
        connect(animation, &QVariantAnimation::valueChanged, this,
                [this](const QVariant& value) { SetAnimationProgress(value.toDouble()); });
        connect(animation, &QVariantAnimation::finished, this, &cntrlChessGui::StopSlide);
    }
    animation->stop();
    animation->setDuration(animationMs);
    animation->start();
}

void cntrlChessGui::SetAnimationProgress(double fraction) {
    if (animPiece < 0) return;
    if (fraction >= 1.0) {
        StopSlide();
        return;
    }
    update(rcSlidePiece().toAlignedRect().adjusted(-1, -1, 1, 1));
    animAt = std::clamp(fraction, 0.0, 1.0);
    update(rcSlidePiece().toAlignedRect().adjusted(-1, -1, 1, 1));
}

void cntrlChessGui::StopSlide() {
    if (animPiece < 0) return;
    if (animation != nullptr && animation->state() == QAbstractAnimation::Running)
        animation->stop();
    update(rcSlidePiece().toAlignedRect().adjusted(-1, -1, 1, 1));
    UpdateSquare(animTo);
    animPiece = -1;
}

QString cntrlChessGui::strBoardTheme() const {
    return CBoardTheme::strNameOf(colorLight, colorDark);
}

void cntrlChessGui::strBoardTheme(const QString& name) {
    const CBoardTheme& theme = CBoardTheme::objFind(name);
    SquareColorLight(theme.lngLight);
    SquareColorDark(theme.lngDark);
}

void cntrlChessGui::isCoordinatesShown(bool value) {
    coordinatesShown = value;
    update(rcWidget(geometry.rcBoard()));
}

void cntrlChessGui::isSoundOn(bool value) {
    soundOn = value;
}

void cntrlChessGui::PlaySound(const QString& name) {
    if (!soundOn) return;
    ++soundsPlayed;
    lastSound = name;
    if (sounds == nullptr) sounds = std::make_unique<CBoardSounds>();
    sounds->Play(name);
}

void cntrlChessGui::isMoveEntryShown(bool value) {
    moveEntryShown = value;
    if (fillingSpace) {
        updateGeometry();
        FitToSize();
    }
    ShowMoveEntry();
}
