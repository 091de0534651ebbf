#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

class QListWidget;
class QWidget;
class cntrlChessGui;
class frmMain;

// Helpers for driving the real training window offscreen.
namespace apptest {

// A stored setting as text ("" when missing).
QString Setting(const QString& key);
void SetSetting(const QString& key, const QString& value);

// What a modal window looked like when the script met it.
struct SeenModal {
    QString className;
    QString title;
    QString text;   // message boxes: the text as written by the program (line breaks as given)
    int icon = -1;  // message boxes: QMessageBox::Icon
    QString filter; // file dialogs: the name filters joined by ";;"
};

// Answers the modal windows the program opens, in order, each with the next action.
class ModalScript {
public:
    using Action = std::function<void(QWidget*)>;
    ModalScript();
    explicit ModalScript(Action first) : ModalScript() { Then(std::move(first)); }
    ModalScript& Then(Action action);
    const std::vector<SeenModal>& Seen() const { return seen; }
    bool isDone() const { return actions.empty(); }

private:
    void Tick();
    std::vector<Action> actions;
    std::vector<SeenModal> seen;
    QPointer<QWidget> lastHandled;
    std::unique_ptr<QTimer> timer;
};

ModalScript::Action ChooseFile(const QString& file);
ModalScript::Action Cancel();
ModalScript::Action Press(int standardButton);

// The display index of a square on the board as it is oriented now.
int DisplayIndex(const cntrlChessGui* board, int file, int rank);
void Drag(cntrlChessGui* board, int fromFile, int fromRank, int toFile, int toRank);
// Drags the first stored move at the board's current node; false when there is none.
bool DragStoredMove(cntrlChessGui* board);
// Drags a legal move that is not stored at the current node; false when there is none.
bool DragWrongMove(cntrlChessGui* board);
// Plays the stored moves until the board leaves training (at most 40 moves).
void SolveByDragging(cntrlChessGui* board);

void Trigger(QWidget* window, const char* action);
QStringList ListItems(const QListWidget* list);
// True when the widget named name inside the window is visible to the user.
bool isShown(QWidget* window, const char* name);
// The text of the label, line edit or plain text box named name.
QString TextOf(QWidget* window, const char* name);
// The training message as shown (line breaks as "\n").
QString Message(frmMain* window);
// The identifier of the game on the board (0 for none).
int32_t Shown(frmMain* window);

// The training window's tests: a settings store of their own, emptied before each test, and a
// fresh workbook of the four games for each test function and data row.
class WindowTest : public QObject {
    Q_OBJECT

protected:
    // A file name in the test folder for this test function and data row, no file there yet.
    QString FreshFile(const QString& name) const;
    // Opens a shown, active main window on the workbook (four when empty) as the last one used
    // and waits for its first game.
    std::unique_ptr<frmMain> Open(const QString& workbook = {}) const;

    QTemporaryDir dir;
    QString four;
    std::vector<int32_t> ids;

private slots:
    void initTestCase();
    void init();
};

} // namespace apptest
