#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

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

// True when the widget named name inside the window is visible to the user.
bool isShown(QWidget* window, const char* name);
// The text of the label or line edit named name.
QString TextOf(QWidget* window, const char* name);

} // namespace apptest
