#pragma once

#include "board/BoardMode.h"
#include "engine/EngineProtocol.h"

#include <QDialog>
#include <QElapsedTimer>
#include <functional>
#include <memory>
#include <string>

class CEngineBridge;
class CPosition;
class QLabel;
class QPushButton;
class QTimer;
class cntrlChessGui;

// The engine the practice window plays against.
struct PracticeEngine {
    QString strPath;
    EngineProtocol protocol = EngineProtocol::Uci; // Unknown: the first start finds out
    QString strName;                               // for the captions ("Stockfish 15.1", "Crafty")

    // The engine chosen in the settings (Stockfish by default).
    static PracticeEngine FromSettings();
};

// The practice window: the trainee plays the test position of the main board's game out against
// the engine on a board of its own; nothing of the practice game reaches the workbook. Show it
// modally (exec) with the main window as owner; the engine and its working folder go when the
// window closes. A position the board cannot play is shown with the reason, never replaced.
class frmCrafty : public QDialog {
    Q_OBJECT
public:
    // Shows an error of a handler; the default is a message box with the stop icon.
    using ErrorSink = std::function<void(QWidget* parent, const QString& message)>;

    // A practice window for the game on mainBoard against the engine chosen in the settings.
    explicit frmCrafty(cntrlChessGui* mainBoard, QWidget* owner = nullptr);
    // The same against the given engine, with errors sent to the sink (when given).
    frmCrafty(cntrlChessGui* mainBoard, PracticeEngine engine, QWidget* owner,
              ErrorSink sink = nullptr);
    ~frmCrafty() override;

    cntrlChessGui* cntrlChess;
    QLabel* lblResult;
    QPushButton* lblExamine;
    QPushButton* lblReplay;
    QPushButton* lblReplay2;
    QPushButton* lblClose;
    QTimer* timerPoll;

    // "Stop Game": stop playing and examine the game.
    void lblExamine_Click();
    // "Replay from beginning": start again from the test position.
    void lblReplay_Click();
    // "Replay from this point": start again from the position on the practice board.
    void lblReplay2_Click();
    // "Close this window".
    void lblClose_Click();
    // The board's Moved event: passes the trainee's move to the engine.
    void cntrlChess_Moved(const QString& strMove);
    // One poll of the engine's output.
    void timerPoll_Timer();

    // The bridge to the engine; nullptr once the window has unloaded.
    CEngineBridge* bridge() const { return engineBridge.get(); }
    // Milliseconds from the trainee's last move to the engine's answer on the board, -1 before.
    qint64 lngLastAnswerMs() const { return lastAnswerMs; }
    // How long the window waits for a result line after the engine's move ended the game.
    void setResultWaitMs(int msecs) { resultWaitMs = msecs; }

protected:
    // Unloads the window however it closes.
    void done(int result) override;

private:
    void Form_Load();
    void Form_Unload();
    void StartPractice(const std::shared_ptr<CPosition>& position);
    bool isShowUnplayable(const std::shared_ptr<CPosition>& position);
    std::shared_ptr<CPosition> objTestPosition() const;
    void CreateControls();
    void Guarded(const std::function<void()>& handler);
    void SetBoardMode(BoardMode mode);
    void EndGame(const QString& text);
    void PlayEngineMove(const std::string& move, bool gameOver);
    QString strEngineSide() const;

    cntrlChessGui* mainBoard;
    PracticeEngine engine;
    ErrorSink errorSink;
    std::unique_ptr<CEngineBridge> engineBridge;
    QElapsedTimer answerClock;
    QElapsedTimer resultClock;
    QString sentMove; // the trainee's last move as sent to the engine
    qint64 lastAnswerMs = -1;
    int resultWaitMs = 10000;
    bool playable = false;         // a game runs from a position the board took
    bool waitingForEngine = false; // the trainee has moved; the engine's move is due
    bool awaitingResult = false;   // the engine's move ended the game; its result line may follow
    bool unloaded = false;
};
