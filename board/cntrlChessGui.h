#pragma once

#include "board/BoardMode.h"
#include "board/CBoardGeometry.h"
#include "board/CBoardMarks.h"
#include "board/CMessageBox.h"
#include "board/CPiecePictures.h"
#include "board/CPropertyStore.h"
#include "game/TrainingJudgement.h"

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

class CPosition;
class CGameTree;
class CGameNode;
class CChessPiece;
class CChessSquare;
class CMove;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPainter;
class QRegion;
class QPushButton;
class QVariantAnimation;
class CBoardSounds;

// The chess board control (BRL.cntrlChessGui): shows a position, takes moves by drag and drop,
// judges training moves against a game tree and answers them, keeps the move lists and the
// variation list, edits positions in setup mode and exchanges FEN.
//
// Modes (BoardMode): 0 free play, 1 setup, 2 view, 3 training. Events are signals delivered
// synchronously; a handler may call back into the control.
class cntrlChessGui : public QWidget {
    Q_OBJECT
public:
    using NodeArray = std::vector<std::shared_ptr<CGameNode>>;
    // Returns the chosen promotion letter ("Q", "N", "B", "R"), or empty text for no choice.
    using PromotionChooser = std::function<QString(QWidget* parent)>;

    static constexpr quint32 DEFAULT_DARK = 8026685;
    static constexpr quint32 DEFAULT_LIGHT = 0xFFFFFF;
    static constexpr double DEFAULT_SQUARE_SIZE = 525;

    explicit cntrlChessGui(QWidget* parent = nullptr);
    ~cntrlChessGui() override;

    // --- properties --------------------------------------------------------------------------
    // The game tree being shown, entered or trained.
    std::shared_ptr<CGameTree> objGameTree() const { return tree; }
    // Stores the tree and goes to its first node with empty move lists (raises Moved, Status).
    void objGameTree(const std::shared_ptr<CGameTree>& newTree);
    // The position shown and played from.
    std::shared_ptr<CPosition> objPosition() const { return position; }
    // Children of the tree's current node, as last filled in by the tree.
    const NodeArray& arrNextNodes() const { return nextNodes; }
    // True when Black's side is at the bottom.
    bool isWhiteOnTop() const { return whiteOnTop; }
    // Flips the board: recaptions the labels and redraws the pieces.
    void isWhiteOnTop(bool value);
    // The side the program answers for in training: 0 White, 1 Black.
    int ComputerPlays() const { return computerPlays; }
    // Stores the side the program answers for.
    void ComputerPlays(int value) { computerPlays = value; }
    // Colour of the dark squares, 0x00BBGGRR.
    quint32 SquareColorDark() const { return colorDark; }
    // Recolours the dark squares.
    void SquareColorDark(quint32 value);
    // Colour of the light squares, 0x00BBGGRR.
    quint32 SquareColorLight() const { return colorLight; }
    // Recolours the light squares.
    void SquareColorLight(quint32 value);
    // Edge of one square in twips (15 per device-independent pixel).
    double SquareSize() const { return geometry.dblSquareSize(); }
    // Sets the square size and lays the control out again.
    void SquareSize(double value);
    // Operating mode as its stored number: 0 free play, 1 setup, 2 view, 3 training.
    int Mode() const { return int(mode); }
    // Switches to the mode with this stored number.
    void Mode(int value) { Mode(static_cast<BoardMode>(value)); }
    // Operating mode.
    BoardMode boardMode() const { return mode; }
    // Switches the mode and shows the elements it uses.
    void Mode(BoardMode value);

    // --- methods -----------------------------------------------------------------------------
    // Status text of the current position, e.g. "White to move".
    QString GameStatus() const;
    // Enables or disables the five navigation buttons.
    void EnableNavigation(bool isEnable);
    // Plays a move given as move text, in every mode.
    void MovePgn(const QString& strPgn, bool isDisplayPosition, bool isGenerateEvent);
    // As MovePgn, and hands back the display indices of the move's start and end squares.
    void MovePgn2(const QString& strPgn, int& iFromIndex, int& iToIndex, bool isDisplayPosition,
                  bool isGenerateEvent);
    // Draws the move line between two squares, with a circle on the first when asked.
    void DrawLine(int iFrom, int iTo, bool withCircle);
    // Deletes the variation selected in the variation list.
    void cmdDelete_Click();
    // Frames a square, or removes its frame.
    void HighLightSquare(int Index, bool isHiLite);
    // True when the square has its frame.
    bool isSquareHighlighted(int Index) const;
    // Repaints the control at once.
    void Refresh();
    // The move from one display index to another; shift holds the key bits (2 = Ctrl).
    void MakeMove(int intSourceSquare, int intDropSquare, int shift);
    // Hides (or shows again) the pieces of a board quarter 0..3.
    void Phantom(int iPhantomArea, bool isPhantom);
    // Replaces the position and the game tree with the values of a position.
    bool ApplyPosition(const std::shared_ptr<CPosition>& objPosition);
    // Replaces the position and the game tree from FEN text and switches to free play.
    bool ApplyFen(const QString& strFen);
    // Loads FEN text into the setup panel and the pictures only.
    bool SetFen(const QString& strFen);
    // The 64-character diagram of the pictures in display order.
    QString GetDiagramFromGui() const;
    // The same diagram of the position itself, whatever the pictures show for a moment.
    QString strPositionDiagram() const;
    // The standard start position and a new game tree.
    void InitialPosition();
    // Empties the board (setup mode only).
    void ClearPosition();
    // Shows a 64-character diagram text on the pictures, in display order.
    void DisplayDiagram(const QString& strDiagram);
    // FEN text of the pictures and the setup panel.
    QString GetFen() const;

    // --- the control's own buttons (also callable by hosts and tests) --------------------------
    // Navigation button 0..4: initial position, previous branch, previous, next, next branch.
    void cmdNavigation_Click(int k);
    // Goes to the tree's node with the key (as navigation does, raising Moved); false when the
    // tree has no such node.
    bool GoToNode(const std::string& key);
    // "Clear Board".
    void cmdClear_Click();
    // "Starting Pos".
    void cmdInitPos_Click();
    // "Apply Setup": applies the setup, then raises Setup.
    void cmdApplySetup_Click();

    // --- persistence -------------------------------------------------------------------------
    // Restores square size, colours and mode from the host's store.
    void ReadProperties(const CPropertyStore& store);
    // Saves the four persisted values (defaults are not written).
    void WriteProperties(CPropertyStore& store) const;
    // True when a persisted property was written since creation.
    bool isPropertyChanged() const { return propertyChanged; }

    // --- host hooks --------------------------------------------------------------------------
    // Where setup warnings go (default: a modal warning box).
    void SetMessageBox(std::shared_ptr<CMessageBox> box);
    // How the promotion piece is chosen (default: the modal frmPromote).
    void SetPromotionChooser(PromotionChooser chooser);
    // Seeds the choice among several stored replies (seeded from the clock otherwise).
    void SeedRandom(unsigned seed) { random.seed(seed); }
    // Training: the node keys of the stored moves marked as mistakes (empty with a new tree).
    const TrainingTries& objTrainingTries() const { return tries; }
    // Sets the node keys of the tree's stored moves that are refuted tries when played.
    void objTrainingTries(TrainingTries keys) { tries = std::move(keys); }

    // --- hints, highlights, arrows, look and sound ---------------------------------------------
    // Selects the piece on a display index for click-then-click input and marks its legal
    // targets; -1 (or a square without a piece of the side to move) clears the selection.
    void SelectSquare(int index);
    // Display index of the selected piece, -1 for none.
    int intSelectedSquare() const;
    // Mark on a display index while a piece is selected or dragged: 0 none, 1 dot, 2 ring.
    int intTargetMark(int index) const;
    // True when legal targets are marked (on by default).
    bool isLegalHintsShown() const { return legalHints; }
    // Switches the marks of legal targets on or off.
    void isLegalHintsShown(bool value);
    // Display indices of the last move's squares, {-1, -1} when there is none.
    std::pair<int, int> LastMove() const;
    // Display indices of the last training move refused as wrong, {-1, -1} before the first.
    std::pair<int, int> RefusedMove() const { return {refusedFrom, refusedTo}; }
    // True when the last move's squares are tinted (on by default).
    bool isLastMoveShown() const { return lastMoveShown; }
    // Switches the tint of the last move's squares on or off.
    void isLastMoveShown(bool value);
    // Display index of the king in check, -1 when the side to move is not in check.
    int intCheckSquare() const;
    // Draws an arrow between two display indices in a colour of CBoardMarks (Green, Red, Blue,
    // Yellow); it stays until a left click on the board, the next move or ClearArrows.
    void DrawArrow(int iFrom, int iTo, int color = CBoardMarks::Green);
    // Draws the move that a move text names in the current position as an arrow; False when the
    // text names no single legal move there.
    bool DrawMoveArrow(const QString& strMove, int color = CBoardMarks::Green);
    // Marks or unmarks a square (display index) in a colour of CBoardMarks.
    void MarkSquare(int index, int color = CBoardMarks::Green);
    // Takes every arrow and square mark away.
    void ClearArrows();
    // The arrows and marks shown (by square index, file + 8 * rank).
    const CBoardMarks& objMarks() const { return marks; }
    // True when stored replies and moves given as text slide to their square (on by default).
    bool isAnimateMoves() const { return animateMoves; }
    // Switches the sliding of moves given as text on or off.
    void isAnimateMoves(bool value);
    // Length of a slide in milliseconds (150 by default).
    int intAnimationMs() const { return animationMs; }
    // Sets the length of a slide in milliseconds (0 switches sliding off).
    void intAnimationMs(int value);
    // True while a piece is sliding to its square.
    bool isAnimating() const { return animPiece >= 0; }
    // Places the sliding piece at a fraction (0..1) of its path; 1 ends the slide.
    void SetAnimationProgress(double fraction);
    // Name of the board theme whose colours are shown, empty for colours of one's own.
    QString strBoardTheme() const;
    // Shows the colours of a theme of CBoardTheme ("Classic", "Brown", "Blue", "Green", "Grey",
    // "Lime").
    void strBoardTheme(const QString& name);
    // True when the rank and file letters are drawn beside the board (on by default).
    bool isCoordinatesShown() const { return coordinatesShown; }
    // Switches the rank and file letters on or off.
    void isCoordinatesShown(bool value);
    // True when move, capture, check, success and failure sounds play (on by default).
    bool isSoundOn() const { return soundOn; }
    // Switches the sounds on or off.
    void isSoundOn(bool value);
    // Number of sounds asked for since creation (switched off or without audio they are not).
    int intSoundsPlayed() const { return soundsPlayed; }
    // Name of the last sound asked for ("move", "capture", "check", "success", "failure").
    QString strLastSound() const { return lastSound; }
    // True when the board takes all the room the control is given: the side column is left out
    // where the mode shows nothing there (training), and the squares follow the smaller of the
    // width and the height (off by default: the resize rule of the control's layout holds).
    bool isFillingSpace() const { return fillingSpace; }
    // Switches filling the control's room on or off, and lays the board out again.
    void isFillingSpace(bool value);
    // True when the move box under the board is shown (free play and training; on by default).
    bool isMoveEntryShown() const { return moveEntryShown; }
    // Shows or hides the move box.
    void isMoveEntryShown(bool value);
    // Plays a move typed as text ("Nf3", "exd5", "O-O", "g1f3") as if it had been dropped on
    // the board; empty text when it was played, otherwise why it was not.
    QString strPlayMoveText(const QString& strMove);

    // --- what the control shows (for hosts and tests) ----------------------------------------
    // The control keeps its height at 0.9 of its width.
    bool hasHeightForWidth() const override { return true; }
    // 0.9 of the width by the resize rule; when filling, the height the board and its rows need.
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

    // Rack slot (0..11) of the picture on a display index, -1 for none.
    int intPictureSlot(int index) const { return pictures.at(index); }
    // True when the picture of a display index is shown.
    bool isPictureVisible(int index) const { return pictureVisible.at(index); }
    // Rectangle of a square in widget pixels.
    QRect rcSquarePixels(int index) const;
    // Rectangle of a rack slot in widget pixels.
    QRect rcRackPixels(int slot) const;
    // True while a board piece is being dragged.
    bool isDragging() const { return dragging; }
    // True while a rack piece is being dragged.
    bool isRackDragging() const { return rackDragging; }
    // True when the picture of a display index is hidden by Phantom.
    bool isPhantom(int index) const { return phantom.at(index); }
    // True while the move line of DrawLine is shown.
    bool isMoveLineVisible() const { return lineVisible; }
    // True while the circle of DrawLine is shown.
    bool isCircleVisible() const { return circleVisible; }
    // True while the rectangle of a phantom area is shown.
    bool isAreaVisible(int area) const { return areaVisible.at(area); }
    // True while the piece rack is shown (setup mode).
    bool isRackVisible() const { return rackShown; }
    // Display index under the highlight frame, -1 when it is hidden.
    int intHighlightFrame() const { return frameIndex; }
    // Display indices joined by the move line (meaningful while it is visible).
    std::pair<int, int> MoveLine() const { return {lineFrom, lineTo}; }
    // Display index under the circle (meaningful while it is visible).
    int intCircleIndex() const { return circleIndex; }
    // Caption of file label k (left to right).
    QString strFileLabel(int k) const;
    // Caption of rank label k (top to bottom).
    QString strRankLabel(int k) const;
    // Number of squares drawn by the last paint (squares outside the dirty region are skipped).
    int intLastPaintedSquares() const { return lastPaintedSquares; }

    QLineEdit* txtMove;
    QLabel* lblMoveResult;
    QListWidget* lstWhiteMoves;
    QListWidget* lstBlackMoves;
    QListWidget* lstVariations;
    QPushButton* cmdDelete;
    std::array<QPushButton*, 5> cmdNavigation;
    QGroupBox* fraSetup;
    QCheckBox* chkWhiteOO;
    QCheckBox* chkWhiteOOO;
    QCheckBox* chkBlackOO;
    QCheckBox* chkBlackOOO;
    QCheckBox* chkWhiteToMove;
    QLabel* lblEP;
    QComboBox* cboEP;
    QPushButton* cmdClear;
    QPushButton* cmdInitPos;
    QPushButton* cmdApplySetup;

signals:
    // A move was made or navigated to; empty text for a refused move.
    void Moved(const QString& strPgn);
    // Status text and move number of the current position.
    void Status(const QString& strStatus, int intMoveNum);
    // Training only: "Wrong move", "Successful", or the text of the reply just played.
    void TrainingStatus(const QString& strStatus);
    // Training only: a refuted try was refused (before its "Wrong move"); the key of its node.
    void RefutedTry(const QString& strKey);
    // A square was clicked: display index and square name.
    void SquareClicked(int iIndex, const QString& strName);
    // The "Apply Setup" button has run.
    void Setup();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // construction and layout (cntrlChessGui.cpp, cntrlChessGuiPaint.cpp)
    void CreateChildren();
    void LayoutBoard();
    void PaintSquares();
    void ShowSetupPanel(bool setup);
    void ShowNavigation(bool visible);
    void ShowMoveEntry();
    void FitToSize();
    double dblTwipsBelowBoard() const;
    double dblSquareSizeFillingWidth(double widthTwips) const;
    void DisplayPosition();
    void SetPicture(int index, int slot);
    void SetPictureVisible(int index, bool visible);
    void UpdateTwips(const CTwipRect& rc);
    void UpdateDrag();
    // Takes the dragged picture off the board.
    void EndDrag();
    // Ends a drag without a drop: the board it started on is gone (another game, flipped, another
    // mode).
    void CancelDrag();
    void HideMoveLine();
    void HideCircle();
    QRectF rcPixels(const CTwipRect& rc) const;
    QRect rcWidget(const CTwipRect& rc) const;
    // drawing layers (cntrlChessGuiDraw.cpp)
    void DrawLabels(QPainter& p, const QRect& dirty) const;
    int DrawSquares(QPainter& p, const QRegion& dirty) const;
    void DrawRack(QPainter& p, const QRect& dirty) const;
    void DrawAreasAndLine(QPainter& p) const;
    void DrawArrows(QPainter& p) const;
    void DrawArrow(QPainter& p, int fromIndex, int toIndex, const QColor& color) const;
    void DrawSlidingPieces(QPainter& p) const;
    QRect rcSquareSnapped(int index) const;
    // highlights, arrows and sliding (cntrlChessGuiHints.cpp)
    void UpdateSquare(int square);
    void UpdateArrow(int from, int to);
    void SetTargets(int square);
    void ClearSelection();
    void NoteMove(const std::shared_ptr<CPosition>& before, bool slide);
    void NoteNavigation();
    void UpdateCheck();
    void StartSlide(int from, int to);
    void StopSlide();
    QRectF rcSlidePiece() const;
    void PlaySound(const QString& name);
    void PlayMoveSound(const std::shared_ptr<CPosition>& before);
    void LeftPress(int index, int shift);
    void RightRelease(const QPoint& pos, Qt::KeyboardModifiers keys);
    void UpdateArrowPreview();
    void OnMoveEntered();
    // move input (cntrlChessGuiInput.cpp)
    void DragStart(int index, const QPoint& pos, bool ctrl);
    void DragFollow(const QPoint& pos);
    void DragDrop(int index, const QPoint& pos, int shift);
    void RackDragStart(int slot);
    void RackDrop(const QPoint& pos);
    std::shared_ptr<CChessPiece> objAskPromotion();
    // A piece dropped on the board in setup mode; Ctrl (shift bit 2) moves it instead of copying.
    void PlaceSetupPiece(int from, int to, int shift);
    // The square shown at a display index (0..63), as the board is turned.
    const std::shared_ptr<CChessSquare>& objSquareAt(int index) const;
    // The legal move of the piece dropped from one display index to another, the promotion asked
    // for; nothing for a declined promotion or an illegal move.
    std::shared_ptr<CMove> objDroppedMove(int from, int to);
    // In training: true when the move is not a stored solution, after the failure is shown.
    bool isRefusedInTraining(const QString& text, int from, int to);
    // Plays a dropped move on the board, the tree and the lists, and in training the reply.
    void PlayDroppedMove(const CMove& move, const QString& text);
    // Plays one of the stored replies; its text, or "" when there is none.
    QString strPlayComputerReply(const NodeArray& replies);
    // The end of a training line: the success sound and status, no moves left to offer.
    void FinishLine();
    void ShowRefutedTry(const std::shared_ptr<CGameNode>& tryNode, int from, int to);
    bool isProgramToMove() const;
    void PlayText(const QString& strPgn, bool withIndices, int& iFromIndex, int& iToIndex,
                  bool isDisplayPosition, bool isGenerateEvent);
    void RaiseStatus();
    // navigation and lists (cntrlChessGuiNavigation.cpp)
    void AddToMoveLists(const std::shared_ptr<CPosition>& pos, const QString& text);
    void RefreshVariations(const NodeArray& children);
    void ClearMoveLists();
    void RebuildMoveLists();
    void NavigationTail();
    void NavigateInitial();
    void NavigatePreviousBranch();
    void NavigatePrevious();
    void NavigateNext();
    void NavigateNextBranch();
    void SyncLists(QListWidget* from);
    // setup and exchange (cntrlChessGuiSetup.cpp, cntrlChessGuiFen.cpp)
    void ApplySetup();
    bool isPositionSound(const std::shared_ptr<CPosition>& pos) const;
    // Makes a sound position the root of a new game and shows it; False for nothing or unsound.
    bool isStartNewGame(const std::shared_ptr<CPosition>& pos, bool freePlay);
    void ResetTree(const std::shared_ptr<CPosition>& pos);
    void NewTreeWith(const std::shared_ptr<CPosition>& pos);
    int intFindRack(const QPoint& pos) const;
    int intFindSquare(const QPoint& pos) const;

    std::shared_ptr<CPosition> position;
    std::shared_ptr<CGameTree> tree;
    NodeArray nextNodes;
    bool whiteOnTop = false;
    int computerPlays = 0;
    quint32 colorDark = DEFAULT_DARK;
    quint32 colorLight = DEFAULT_LIGHT;
    CBoardGeometry geometry{DEFAULT_SQUARE_SIZE};
    BoardMode mode = BoardMode::FreePlay;
    bool propertyChanged = false;

    std::array<bool, 64> phantom{};
    std::array<int, 64> pictures{};
    std::array<bool, 64> pictureVisible{};
    std::array<bool, 64> squareBorder{};
    std::array<bool, 4> areaVisible{};
    int frameIndex = -1;
    bool circleVisible = false;
    int circleIndex = 0;
    bool lineVisible = false;
    int lineFrom = 0;
    int lineTo = 0;

    bool dragging = false;
    bool rackDragging = false;
    int dragSlot = -1;
    bool dragShown = false;
    QPoint dragPos;
    int pressIndex = -1;
    int pressRack = -1;
    bool layingOut = false;
    bool rackShown = false;
    mutable int lastPaintedSquares = 0;

    int selected = -1;                       // square index of the selected piece, -1 none
    std::array<unsigned char, 64> targets{}; // by square index: 0 none, 1 dot, 2 ring
    bool legalHints = true;
    int lastFrom = -1; // square indices of the last move
    int lastTo = -1;
    bool lastMoveShown = true;
    int refusedFrom = -1; // display indices of the last refused training move
    int refusedTo = -1;
    int checkSquare = -1; // square index of a king in check
    CBoardMarks marks;
    int rightPress = -1; // display index where the right button went down
    int rightHover = -1; // display index under the pointer while the right button is held
    int rightColor = 0;  // colour of the arrow being drawn
    int clickIndex = -1; // display index where the left button went down
    bool deselectOnRelease = false;           // a click on the selected piece lets it go
    std::shared_ptr<CPosition> notedPosition; // the position the last move and arrows belong to
    bool animateMoves = true;
    int animationMs = 150;
    int animPiece = -1; // rack slot of the sliding piece, -1 none
    int animFrom = -1;  // square indices of the slide
    int animTo = -1;
    double animAt = 0;
    QVariantAnimation* animation = nullptr;
    bool coordinatesShown = true;
    bool soundOn = true;
    int soundsPlayed = 0;
    QString lastSound;
    bool moveEntryShown = true;
    bool moveEntryHadFocus = false; // the move box was hidden while it had the keyboard
    bool fillingSpace = false;
    char pendingPromotion = 0;       // promotion letter given with a typed move
    int pendingPromotionSquare = -1; // display index where a promotion is being chosen
    std::unique_ptr<CBoardSounds> sounds;

    std::unique_ptr<CPiecePictures> pieces;
    std::shared_ptr<CMessageBox> messageBox;
    PromotionChooser promotionChooser;
    std::mt19937 random;
    TrainingTries tries;
};
