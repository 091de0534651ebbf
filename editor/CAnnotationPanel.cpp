#include "editor/CAnnotationPanel.h"

#include "editor/CMoveTreeView.h"
#include "game/CGameTree.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>

namespace {

const char* const kMarkNames[kMoveMarks] = {"good move", "mistake",          "brilliant move",
                                            "blunder",   "interesting move", "dubious move"};

// A mark button takes Enter as a click, as the push buttons beside it do: passed on, Enter would
// press the editor's Save, which closes it.
class MarkButton : public QToolButton {
public:
    using QToolButton::QToolButton;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            click();
        else
            QToolButton::keyPressEvent(event);
    }
};

} // namespace

CAnnotationPanel::CAnnotationPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("pnlAnnotations");
    BuildControls();
    LoadBoxes();
}

void CAnnotationPanel::BuildControls() {
    tvwMoves = new CMoveTreeView(this);
    txtGameComment = new QPlainTextEdit(this);
    txtGameComment->setObjectName("txtGameComment");
    txtGameComment->setPlaceholderText("What the exercise is about, shown before the first move");
    txtGameComment->setMaximumHeight(70);
    txtCommentBefore = new QLineEdit(this);
    txtCommentBefore->setObjectName("txtCommentBefore");
    txtCommentBefore->setPlaceholderText("Comment before the move (starts a variation)");
    // A line box cuts what it is given at 32767 characters, and the cut text would be saved.
    txtCommentBefore->setMaxLength(std::numeric_limits<int>::max());
    txtCommentAfter = new QPlainTextEdit(this);
    txtCommentAfter->setObjectName("txtCommentAfter");
    txtCommentAfter->setPlaceholderText("Comment after the move");
    txtCommentAfter->setMaximumHeight(90);
    // Tab goes on to the next control, as in the other boxes, instead of writing a tab.
    for (QPlainTextEdit* box : {txtGameComment, txtCommentAfter})
        box->setTabChangesFocus(true);

    auto* marks = new QHBoxLayout;
    marks->setSpacing(2);
    for (int i = 0; i < kMoveMarks; ++i) {
        const int mark = i + 1;
        auto* button = new MarkButton(this);
        button->setObjectName(QString("cmdMark%1").arg(mark));
        button->setText(strMarkGlyph(mark));
        button->setCheckable(true);
        button->setMinimumWidth(32);
        button->setToolTip(QString("%1 (Ctrl+%2)").arg(kMarkNames[i]).arg(mark));
        connect(button, &QToolButton::clicked, this, [this, mark] { ToggleMark(mark); });
        // The shortcut works wherever the focus is in the editor: on the board or in a box.
        auto* action = new QAction(this);
        action->setObjectName(QString("actMark%1").arg(mark));
        action->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_0 + mark)));
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, [this, mark] { ToggleMark(mark); });
        addAction(action);
        cmdMarks[static_cast<size_t>(i)] = button;
        marks->addWidget(button);
    }
    marks->addStretch();

    cmdPromote = new QPushButton("P&romote", this);
    cmdPromote->setToolTip("Move the selected line one place up (a second line becomes the "
                           "main line)");
    cmdDemote = new QPushButton("Demo&te", this);
    cmdDemote->setToolTip("Move the selected line one place down");
    cmdDeleteMoves = new QPushButton("De&lete Moves", this);
    cmdDeleteMoves->setToolTip("Delete the selected move with every move after it (a whole "
                               "variation when its first move is selected)");
    auto* lines = new QHBoxLayout;
    lines->addWidget(cmdPromote);
    lines->addWidget(cmdDemote);
    lines->addWidget(cmdDeleteMoves);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* movesLabel = new QLabel("Mo&ves:", this);
    movesLabel->setBuddy(tvwMoves);
    layout->addWidget(movesLabel);
    layout->addWidget(tvwMoves, 1);
    layout->addLayout(lines);
    lblUnreadable = new QLabel("This game's comments and tags could not be read; they are kept "
                               "as stored.",
                               this);
    lblUnreadable->setObjectName("lblUnreadable");
    lblUnreadable->setWordWrap(true);
    lblUnreadable->hide();
    layout->addWidget(lblUnreadable);
    auto* marksLabel = new QLabel("Mark of the selected move:", this);
    layout->addWidget(marksLabel);
    layout->addLayout(marks);
    auto* beforeLabel = new QLabel("Comment &before the move:", this);
    beforeLabel->setBuddy(txtCommentBefore);
    layout->addWidget(beforeLabel);
    layout->addWidget(txtCommentBefore);
    auto* afterLabel = new QLabel("Comment &after the move:", this);
    afterLabel->setBuddy(txtCommentAfter);
    layout->addWidget(afterLabel);
    layout->addWidget(txtCommentAfter);
    auto* gameLabel = new QLabel("&Game comment:", this);
    gameLabel->setBuddy(txtGameComment);
    layout->addWidget(gameLabel);
    layout->addWidget(txtGameComment);

    connect(tvwMoves, &CMoveTreeView::NodeChosen, this, &CAnnotationPanel::NodeChosen);
    connect(txtCommentBefore, &QLineEdit::textEdited, this, &CAnnotationPanel::CommentEdited);
    connect(txtCommentAfter, &QPlainTextEdit::textChanged, this, &CAnnotationPanel::CommentEdited);
    connect(txtGameComment, &QPlainTextEdit::textChanged, this,
            &CAnnotationPanel::GameCommentEdited);
    connect(cmdPromote, &QPushButton::clicked, this, [this] { PromoteLine(); });
    connect(cmdDemote, &QPushButton::clicked, this, [this] { DemoteLine(); });
    connect(cmdDeleteMoves, &QPushButton::clicked, this, [this] { DeleteMoves(); });
}

void CAnnotationPanel::SetAnnotations(GameAnnotations stored) {
    annotations = std::move(stored);
    if (tree) tvwMoves->ShowTree(*tree, annotations);
    LoadBoxes();
}

GameAnnotations CAnnotationPanel::objAnnotationsFor(const CGameTree& game) const {
    GameAnnotations kept;
    kept.arrTags = annotations.arrTags;
    for (const auto& [key, note] : annotations.mapNodes)
        if (!note.isEmpty() && game.isExists(key)) kept.mapNodes.emplace(key, note);
    return kept;
}

std::string CAnnotationPanel::strSnapshot(const CGameTree& game) const {
    std::string text;
    for (const auto& node : game) {
        const NodeAnnotation* note = annotations.objNode(node->strKey());
        if (!note) continue;
        text += node->strKey() + '\x1f' + note->strBefore + '\x1f' + note->strAfter + '\x1f' +
                GameAnnotations::strNagsText(note->arrNags) + '\x1e';
    }
    return text;
}

void CAnnotationPanel::ShowTree(const std::shared_ptr<CGameTree>& shown) {
    tree = shown;
    // The notes of moves deleted go with them: a move played again under the same key starts
    // without them.
    if (tree)
        std::erase_if(annotations.mapNodes,
                      [this](const auto& entry) { return !tree->isExists(entry.first); });
    currentKey = tree && tree->objCurrentNode() ? tree->objCurrentNode()->strKey() : "";
    if (tree) {
        tvwMoves->ShowTree(*tree, annotations);
        tvwMoves->SelectKey(currentKey);
    } else {
        tvwMoves->Clear();
    }
    LoadBoxes();
}

void CAnnotationPanel::SetEditable(bool value) {
    editable = value;
    LoadBoxes();
}

// Fills the boxes and buttons from the selected node, enabling what applies to it.
void CAnnotationPanel::LoadBoxes() {
    loading = true;
    const bool hasTree = editable && tree && tree->isExists(CGameNode::strINITIAL_KEY());
    const bool isMove = hasTree && !currentKey.empty() &&
                        currentKey != CGameNode::strINITIAL_KEY() && tree->isExists(currentKey);
    const NodeAnnotation* note = isMove ? annotations.objNode(currentKey) : nullptr;
    const NodeAnnotation* game = annotations.objNode(CGameNode::strINITIAL_KEY());
    // Notes that could not be read are neither shown nor written over.
    const bool notes = annotations.isReadable;
    lblUnreadable->setVisible(!notes);
    txtCommentBefore->setText(note ? QString::fromStdString(note->strBefore) : QString());
    txtCommentAfter->setPlainText(note ? QString::fromStdString(note->strAfter) : QString());
    shownBefore = txtCommentBefore->text();
    shownAfter = txtCommentAfter->toPlainText();
    if (txtGameComment->toPlainText().toStdString() != (game ? game->strBefore : ""))
        txtGameComment->setPlainText(game ? QString::fromStdString(game->strBefore) : QString());
    const int mark = note ? intMoveMark(note->arrNags) : 0;
    for (int i = 0; i < kMoveMarks; ++i) {
        cmdMarks[static_cast<size_t>(i)]->setChecked(mark == i + 1);
        cmdMarks[static_cast<size_t>(i)]->setEnabled(isMove && notes);
    }
    for (QAction* action : actions())
        action->setEnabled(notes);
    txtCommentBefore->setEnabled(isMove && notes);
    txtCommentAfter->setEnabled(isMove && notes);
    txtGameComment->setEnabled(hasTree && notes);
    tvwMoves->setEnabled(hasTree);
    cmdPromote->setEnabled(isMove);
    cmdDemote->setEnabled(isMove);
    cmdDeleteMoves->setEnabled(isMove);
    loading = false;
}

NodeAnnotation& CAnnotationPanel::objCurrentNote() {
    return annotations.mapNodes[currentKey];
}

void CAnnotationPanel::CommentEdited() {
    if (loading || !txtCommentAfter->isEnabled()) return;
    NodeAnnotation& note = objCurrentNote();
    // Only the box edited is taken: the other keeps its stored text, which a box gives back
    // changed (a non-breaking space as a space, bytes that are no UTF-8 as replacements).
    if (txtCommentBefore->text() != shownBefore) {
        shownBefore = txtCommentBefore->text();
        note.strBefore = shownBefore.toStdString();
    }
    if (txtCommentAfter->toPlainText() != shownAfter) {
        shownAfter = txtCommentAfter->toPlainText();
        note.strAfter = shownAfter.toStdString();
    }
    tvwMoves->RefreshItem(*tree, currentKey, annotations);
    emit AnnotationsEdited();
}

void CAnnotationPanel::GameCommentEdited() {
    if (loading || !txtGameComment->isEnabled()) return;
    annotations.mapNodes[CGameNode::strINITIAL_KEY()].strBefore =
        txtGameComment->toPlainText().toStdString();
    if (tree) tvwMoves->RefreshItem(*tree, CGameNode::strINITIAL_KEY(), annotations);
    emit AnnotationsEdited();
}

void CAnnotationPanel::ToggleMark(int mark) {
    if (!cmdMarks[0]->isEnabled() || mark < 1 || mark > kMoveMarks) {
        LoadBoxes(); // a click on a disabled state leaves the buttons as the node has them
        return;
    }
    NodeAnnotation& note = objCurrentNote();
    SetMoveMark(note.arrNags, intMoveMark(note.arrNags) == mark ? 0 : mark);
    tvwMoves->RefreshItem(*tree, currentKey, annotations);
    LoadBoxes();
    emit AnnotationsEdited();
}

bool CAnnotationPanel::PromoteLine() {
    if (!cmdPromote->isEnabled() || !tree->PromoteLine(currentKey)) return false;
    emit LinesChanged(QString::fromStdString(currentKey));
    return true;
}

bool CAnnotationPanel::DemoteLine() {
    if (!cmdDemote->isEnabled() || !tree->DemoteLine(currentKey)) return false;
    emit LinesChanged(QString::fromStdString(currentKey));
    return true;
}

bool CAnnotationPanel::DeleteMoves() {
    if (!cmdDeleteMoves->isEnabled()) return false;
    const std::string parent = tree->Item(currentKey)->strParentKey();
    if (tree->RemoveLine(currentKey) == 0) return false;
    emit LinesChanged(QString::fromStdString(parent));
    return true;
}
