#pragma once

#include "app/CTrainingSession.h"
#include "app/ITrainingDisplay.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

class CActionLabel;
class CHelpWindow;
class CWorkBook;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class cntrlChessGui;
class CEditorPrompts;
class frmGames;
class frmStatistics;
class QMenu;

// The training window: the board, the game information, the trainee's messages and score, and
// the menus. It owns the workbook and the board; the training itself is CTrainingSession, which
// shows itself through this window's display operations.
class frmMain : public QMainWindow, private ITrainingDisplay {
    Q_OBJECT

public:
    // Builds the window and applies the settings (caption, board mode, colours, orientation).
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // A workbook to open at the first activation instead of the last one used.
    void strStartupWorkbook(const QString& file) { startupWorkbook = file; }
    // When set, problems at start-up are printed and no dialog is shown (for --screenshot).
    void isUnattended(bool unattended) { unattended_ = unattended; }
    // Runs the first activation once: opens the workbook and shows its first game, or closes the
    // window when there is no workbook to train. True when a workbook is open afterwards.
    bool Activate();
    // Opens a workbook (asking for one when file is "") and shows its first training game.
    bool isOpenWorkbook(QString file);
    // The program's name, the caption of the window without a workbook.
    static QString strCaption();
    // The program's version, "major.minor.patch", as every window shows it.
    static QString strVersion();
    // The text that names a workbook that cannot be written, shown while it is open.
    static QString strReadOnlyNotice() {
        return "This workbook is read-only: results will not be recorded.";
    }
    // The second question of Clear Log.
    static QString strClearHistoryQuestion() {
        return "Clear the attempt history too?\rThe statistics window and its charts start "
               "again from nothing.";
    }

    // The training session (for callers and tests that look at its state).
    const CTrainingSession& objSession() const { return session; }
    // The workbook, nullptr before one is open.
    std::shared_ptr<CWorkBook> objWorkBook() const { return workbook; }
    // The training board.
    cntrlChessGui* objBoard() const { return cntrlChess; }
    // The games window while it is open, nullptr otherwise.
    frmGames* objGamesWindow() const;
    // Who answers the questions of the workbook windows (modal boxes by default).
    void SetEditorPrompts(std::shared_ptr<CEditorPrompts> prompts);

public slots:
    // File, Open Workbook (and the "..." button): asks for a workbook and trains it.
    void OpenWorkbook();
    // File, Exit: closes the window, which ends the program.
    void Exit();
    // Training, "Play the game against ...": the practice window on the shown game, modally.
    void PlayAgainstEngine();
    // Training, Show Solution: ends the running game as a failure.
    void ShowSolution();
    // Training, Previous Game.
    void PreviousGame();
    // Training, Next Game (and the Next button).
    void NextGame();
    // Training, Clear Log: asks, then clears every statistic of the workbook.
    void ClearLog();
    // Options, Flip board: turns the board and remembers the orientation.
    void FlipBoard();
    // Options, Light Square Color: colour dialog, then painted and remembered.
    void ChooseLightColor();
    // Options, Dark Square Color: colour dialog, then painted and remembered.
    void ChooseDarkColor();
    // Options, Engine...: chooses the engine to practise against.
    void ChooseEngine();
    // Options, Appearance: colours the window ("System", "Light", "Dark") and remembers it.
    void ChooseAppearance(const QString& choice);
    // Training, Moves: steps through the game shown after its end like the board's navigation
    // buttons (0 first, 2 previous, 3 next, 4 last).
    void StepMoves(int k);
    // Training, Moves: chooses the previous (-1) or next (+1) variation for the next step.
    void ChooseVariation(int delta);
    // Help, Contents: the help window on the contents page.
    void HelpContents();
    // Help, About Brisolt: the About box, modally.
    void About();
    // Building workbooks (frmMainWorkbook.cpp).
    void NewWorkbook();
    frmGames* OpenGames();
    void ImportPgn();
    void ExportPgn();
    void CopyFen();
    void PasteFen();
    void SaveWorkbookTitle();
    // Progress (frmMainProgress.cpp): Training, Statistics... (the window, nullptr without a
    // workbook or when it cannot be read) and the training order of Options.
    frmStatistics* ShowStatistics();
    void ChooseTrainingOrder(bool spaced);
    void ChooseNewGamesPerDay();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Construction (frmMainLayout.cpp, frmMainMenus.cpp).
    void BuildControls();
    QWidget* BuildSidePanel();
    QGroupBox* BuildGameInfo();
    // Shows or hides the solved or the failed picture, drawn the first time it is shown.
    void SetResultPictureVisible(QLabel* image, bool visible);
    void BuildMenus();
    void ConnectCommands();
    void BuildProgressMenus(QMenu* training, QMenu* options);
    void ApplyTrainingOrder();
    void ApplySettings();
    void BuildMoveMenu(QMenu* training);
    void BuildAppearanceMenu(QMenu* options);
    void ShowAppearance(const QString& choice);
    void AddShortcutTips();

    // Workbook and settings (frmMain.cpp).
    QString strLastOpened() const;
    QString strAskWorkbookFile(bool save);
    QString strDialogFolder() const;
    void Unload();
    void Guarded(const std::function<void()>& handler);

    // Board wiring (frmMainBoard.cpp).
    void CreateBoard();
    void OnTrainingStatus(const QString& status);
    long lngBoardLightColor() const;
    long lngBoardDarkColor() const;
    void SetBoardColors(long light, long dark);
    bool isBoardWhiteOnTop() const;

    // ITrainingDisplay (frmMainDisplay.cpp).
    void ShowGameInfo(const std::string& description, const std::string& pageRef,
                      const std::string& diagramRef) override;
    void ShowToPlay(const std::string& text) override;
    void ShowMessage(const std::string& text) override;
    void SetMessageVisible(bool visible) override;
    void SetNextVisible(bool visible) override;
    void SetSuccessVisible(bool visible) override;
    void SetFailVisible(bool visible) override;
    void SetErrorMarkVisible(int k, bool visible) override;
    void SetPreviousEnabled(bool enabled) override;
    void SetShowSolutionEnabled(bool enabled) override;
    void ShowScoreText(const std::string& text) override;
    void SetBoardWhiteOnTop(bool whiteOnTop) override;
    void SetBoardComputerPlays(int side) override;
    void SetBoardGameTree(const std::shared_ptr<CGameTree>& tree) override;
    void SetBoardTrainingTries(const TrainingTries& keys) override;
    void SetBoardMode(BoardMode mode) override;
    BoardMode boardMode() const override;
    // Progress and solution display (frmMainFeedback.cpp).
    void ShowGameOfBatch(const std::string& text) override;
    void ShowSessionScoreText(const std::string& text) override;
    void ShowRefusedMove() override;
    void ShowSolutionMoves(bool shown) override;
    std::shared_ptr<CGameTree> objBoardGameTree() const override;
    int32_t lngAskBatchSummary(const TrainingFeedback::BatchSummary& summary) override;
    void UpdateSolutionArrow();
    void FitBoard();
    void FitBoardMinimum();
    void FocusForKeys();
    bool isSteppable() const;
    void UpdateEngineCommands();
    void UpdateToPlay();
    void UpdateTitle();
    void ShowReadOnly(bool readOnly);

    // Building workbooks (frmMainWorkbook.cpp).
    void UseWorkbook(const std::shared_ptr<CWorkBook>& opened, const QString& file,
                     const std::string& title);
    void WorkbookEdited(int32_t changedGameId);
    bool isOfferPgnImport(const QString& file);

    CTrainingSession session;
    std::shared_ptr<CWorkBook> workbook;
    bool isActivated = false;
    bool unattended_ = false;
    bool unloaded = false;
    QString startupWorkbook;

    cntrlChessGui* cntrlChess = nullptr;
    QLineEdit* txtWorkbook = nullptr;
    QPushButton* cmdOpenWbk = nullptr;
    QScrollArea* sidePanelArea = nullptr; // the panel beside the board, scrolled on a short screen
    QGroupBox* fraGame = nullptr;
    QLabel* txtGameDescription = nullptr;
    QLabel* txtPageRef = nullptr;
    QLabel* txtDiagramRef = nullptr;
    QLabel* lblToPlay = nullptr;
    QPlainTextEdit* txtMsg = nullptr;
    QPushButton* cmdNext = nullptr;
    QLabel* lblScore = nullptr;
    QLabel* lblGameOf = nullptr;
    QLabel* lblSessionScore = nullptr;
    QLabel* lblReadOnly = nullptr;
    QLabel* lblError[3] = {nullptr, nullptr, nullptr};
    QLabel* imgSuccess = nullptr;
    QLabel* imgFail = nullptr;
    CActionLabel* lblNextGame = nullptr;
    CActionLabel* lblPreviousGame = nullptr;
    CActionLabel* lblShowSolution = nullptr;
    CActionLabel* lblCrafty = nullptr;
    CActionLabel* lblFlip = nullptr;
    CActionLabel* lblClearLog = nullptr;

    QAction* mnuOpenWorkbook = nullptr;
    QAction* mnuNewWorkbook = nullptr;
    QAction* mnuImportPgn = nullptr;
    QAction* mnuExportPgn = nullptr;
    QAction* mnuGames = nullptr;
    QAction* mnuCopyFen = nullptr;
    QAction* mnuPasteFen = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuCrafty = nullptr;
    QAction* mnuShowSolution = nullptr;
    QAction* mnuPreviousGame = nullptr;
    QAction* mnuNextGame = nullptr;
    QAction* mnuClearLog = nullptr;
    QAction* mnuStatistics = nullptr;
    QAction* mnuClassicOrder = nullptr;
    QAction* mnuSpacedOrder = nullptr;
    QAction* mnuFlip = nullptr;
    QAction* mnuLightColor = nullptr;
    QAction* mnuDarkColor = nullptr;
    QAction* mnuEngine = nullptr;
    QAction* mnuMoveFirst = nullptr;
    QAction* mnuMovePrevious = nullptr;
    QAction* mnuMoveNext = nullptr;
    QAction* mnuMoveLast = nullptr;
    QAction* mnuVariationUp = nullptr;
    QAction* mnuVariationDown = nullptr;
    QMenu* mnuAppearance = nullptr;
    QAction* mnuContents = nullptr;
    QAction* mnuAbout = nullptr;

    bool solutionShown = false; // the solution's next move is drawn at every step
    CHelpWindow* helpWindow = nullptr;
    QPointer<frmGames> gamesWindow;
    std::shared_ptr<CEditorPrompts> editorPrompts;
};
