#pragma once

#include "editor/MoveMarks.h"
#include "workbook/GameAnnotations.h"

#include <QWidget>
#include <array>
#include <memory>
#include <string>

class CGameTree;
class CMoveTreeView;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

// The game editor's words and marks: the moves as a tree, the comments of the selected move and
// of the game, the six move marks (buttons and Ctrl+1 to Ctrl+6) and the line operations
// (promote, demote, delete). It keeps the game's annotations by node key while the game is
// edited; keys of moves that are gone are left out when they are taken for saving.
class CAnnotationPanel : public QWidget {
    Q_OBJECT
public:
    explicit CAnnotationPanel(QWidget* parent = nullptr);

    // Starts from the game's stored annotations (tags included, kept as they are).
    void SetAnnotations(GameAnnotations stored);
    // The annotations of the nodes the tree has, with the tags, as they are to be stored.
    GameAnnotations objAnnotationsFor(const CGameTree& tree) const;
    // False when the stored annotations could not be read: they are shown as none, cannot be
    // edited, and must be kept as stored.
    bool isReadable() const { return annotations.isReadable; }
    // Shows the tree at its current node: the move tree, that move's comments and mark.
    void ShowTree(const std::shared_ptr<CGameTree>& tree);
    // The node whose comments and mark the boxes show.
    const std::string& strCurrentKey() const { return currentKey; }
    // A text of the annotations the tree's nodes carry, to tell whether anything changed.
    std::string strSnapshot(const CGameTree& tree) const;
    // Enables or disables everything (disabled while the position is being set up).
    void SetEditable(bool editable);

    // Gives the selected move the mark 1..6, or takes it away when it has it already.
    void ToggleMark(int mark);
    // Moves the selected move's line one place up; false when it is the main line.
    bool PromoteLine();
    // Moves the selected move's line one place down; false when no line follows it.
    bool DemoteLine();
    // Deletes the selected move with every move after it; false at the start position.
    bool DeleteMoves();

    CMoveTreeView* tvwMoves = nullptr;
    QPlainTextEdit* txtGameComment = nullptr;
    QLineEdit* txtCommentBefore = nullptr;
    QPlainTextEdit* txtCommentAfter = nullptr;
    std::array<QToolButton*, kMoveMarks> cmdMarks{};
    QPushButton* cmdPromote = nullptr;
    QPushButton* cmdDemote = nullptr;
    QPushButton* cmdDeleteMoves = nullptr;
    QLabel* lblUnreadable = nullptr; // shown when the stored annotations could not be read

signals:
    // The user chose a move in the tree.
    void NodeChosen(const QString& key);
    // The lines changed; the node is the one to show now.
    void LinesChanged(const QString& key);
    // A comment or a mark changed.
    void AnnotationsEdited();

private:
    void BuildControls();
    void LoadBoxes();
    void CommentEdited();
    void GameCommentEdited();
    NodeAnnotation& objCurrentNote();

    std::shared_ptr<CGameTree> tree;
    GameAnnotations annotations;
    std::string currentKey;
    QString shownBefore; // the comment boxes' texts as filled or last taken
    QString shownAfter;
    bool editable = true;
    bool loading = false;
};
