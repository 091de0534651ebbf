#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QListWidget;
class QWidget;
class cntrlChessGui;
class frmMain;

// Helpers for driving the real training window offscreen.
namespace apptest {

// Points the program's settings at a private folder (call once, before any settings are read)
// and empties them.
void IsolateSettings(const QString& folder);
// Empties the program's settings.
void ClearSettings();
// A stored setting as text ("" when missing).
QString Setting(const QString& key);
// Stores a setting.
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
    ~ModalScript();
    // Queues the answer to the next modal window.
    ModalScript& Then(Action action);
    // The modal windows answered so far.
    const std::vector<SeenModal>& Seen() const { return seen; }
    // True when every queued action has run.
    bool isDone() const { return actions.empty(); }

private:
    void Tick();
    std::vector<Action> actions;
    std::vector<SeenModal> seen;
    QPointer<QWidget> lastHandled;
    std::unique_ptr<QTimer> timer;
};

// Actions for ModalScript.
ModalScript::Action ChooseFile(const QString& file);
ModalScript::Action Cancel();
ModalScript::Action Press(int standardButton);
ModalScript::Action ChooseColor(int red, int green, int blue);

// The display index of a square on the board as it is oriented now.
int DisplayIndex(const cntrlChessGui* board, int file, int rank);
// Drags the piece from one square to another with the mouse.
void Drag(cntrlChessGui* board, int fromFile, int fromRank, int toFile, int toRank);
// Drags the first stored move at the board's current node; false when there is none.
bool DragStoredMove(cntrlChessGui* board);
// Drags a legal move that is not stored at the current node; false when there is none.
bool DragWrongMove(cntrlChessGui* board);

// Opens a shown main window on the workbook as the last one used and waits for its first game.
std::unique_ptr<frmMain> OpenWindow(const QString& workbook);
// Plays the stored moves until the board leaves training (at most 40 moves).
void SolveByDragging(cntrlChessGui* board);
// Triggers the window's action of that object name.
void Trigger(QWidget* window, const char* action);
// The texts of a list widget's rows.
QStringList ListItems(const QListWidget* list);
// Writes the bytes to a new file (its folder made when missing); returns the file name.
QString WriteFile(const QString& file, const QByteArray& bytes);

// Fresh workbook files for one test: four games, and a copy of the sample workbook (of the four
// games when the sample was not built).
struct FreshWorkbooks {
    QString four, sample;
    std::vector<int32_t> fourIds;
};
FreshWorkbooks MakeFreshWorkbooks(const QString& folder, const QString& tag,
                                  const QString& builtSample);

// How a run of the program ended.
struct ProgramRun {
    bool ended = false; // false when it was still running at the time limit (then killed)
    int exitCode = -1;
    QString out, err;
};
// Runs the program offscreen with its settings in configFolder.
ProgramRun RunProgram(const QString& program, const QStringList& arguments,
                      const QString& configFolder, int timeoutMs = 60000);

// True when the widget named name inside the window is visible to the user.
bool isShown(QWidget* window, const char* name);
// The text of the label or line edit named name.
QString TextOf(QWidget* window, const char* name);

} // namespace apptest
