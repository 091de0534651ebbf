#include "editor/CMoveTreeView.h"

#include "editor/MoveMarks.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/SideToMove.h"
#include "workbook/GameAnnotations.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <deque>
#include <unordered_set>

namespace {

// Comments are shown on one line and cut; the boxes below hold the whole text.
constexpr int kShownLength = 160;

QString strShown(const std::string& text) {
    QString shown = QString::fromStdString(text.substr(0, kShownLength * 4)).simplified();
    if (shown.size() > kShownLength || text.size() > kShownLength * 4)
        shown = shown.left(kShownLength) + QChar(0x2026);
    return shown;
}

// A move's comment before it stands in brackets; the start position's is the game comment.
QString strComments(const NodeAnnotation* marks, bool isRoot) {
    if (!marks) return {};
    const QString before = strShown(marks->strBefore);
    const QString after = strShown(marks->strAfter);
    if (before.isEmpty()) return after;
    if (isRoot) return after.isEmpty() ? before : before + " " + after;
    if (after.isEmpty()) return "(" + before + ")";
    return "(" + before + ") " + after;
}

// The shape of a tree: its keys and their children in order.
std::string strShapeOf(const CGameTree& tree) {
    std::string shape;
    for (const auto& node : tree) {
        shape += node->strKey();
        shape += ':';
        for (const std::string& child : node->childrenKeys()) {
            shape += child;
            shape += ',';
        }
        shape += '\n';
    }
    return shape;
}

} // namespace

CMoveTreeView::CMoveTreeView(QWidget* parent) : QTreeWidget(parent) {
    setObjectName("tvwMoves");
    setColumnCount(2);
    setHeaderLabels({"Move", "Comment"});
    header()->setStretchLastSection(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setExpandsOnDoubleClick(false);
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item, QTreeWidgetItem*) {
                if (item) emit NodeChosen(item->data(0, KeyRole).toString());
            });
}

QString CMoveTreeView::strMoveLabel(const CGameTree& tree, const std::string& key,
                                    const GameAnnotations& annotations) {
    if (key == CGameNode::strINITIAL_KEY()) return "Start position";
    if (!tree.isExists(key)) return {};
    const auto& position = tree.Item(key)->objPosition();
    if (!position) return {};
    const std::string move = strWithCheckSign(*position, position->strMoveText());
    const QString number = QString::number(position->intMoveNumber());
    // After White's move Black is to move.
    QString label = (isWhiteSideToMove(*position) ? number + "... " : number + ". ") +
                    QString::fromStdString(move);
    if (const NodeAnnotation* marks = annotations.objNode(key)) {
        for (int nag : marks->arrNags) {
            const QString glyph = strMarkGlyph(nag);
            label += glyph.isEmpty() ? " $" + QString::number(nag) : glyph;
        }
    }
    return label;
}

void CMoveTreeView::ShowTree(const CGameTree& tree, const GameAnnotations& annotations) {
    std::string now = strShapeOf(tree);
    if (now != shape) {
        shape = std::move(now);
        Rebuild(tree, annotations);
        return;
    }
    for (const auto& entry : items)
        RefreshItem(tree, entry.first, annotations);
}

void CMoveTreeView::Clear() {
    clear();
    items.clear();
    shape.clear();
}

void CMoveTreeView::Rebuild(const CGameTree& tree, const GameAnnotations& annotations) {
    const QSignalBlocker quiet(this);
    clear();
    items.clear();
    if (!tree.isExists(CGameNode::strINITIAL_KEY())) return;
    // A line is its first node's item holding the moves after it; the moves that replace one of
    // them are lines of their own under its item, laid out after the line they leave.
    struct Line {
        QTreeWidgetItem* parent;
        std::string first;
    };
    std::deque<Line> lines{{nullptr, CGameNode::strINITIAL_KEY()}};
    std::unordered_set<std::string> shown;
    while (!lines.empty()) {
        const Line line = lines.front();
        lines.pop_front();
        if (!shown.insert(line.first).second) continue;
        QTreeWidgetItem* head = objAddItem(line.parent, tree, line.first, annotations);
        std::string at = line.first;
        while (true) {
            const std::vector<std::string>& children = tree.Item(at)->childrenKeys();
            std::vector<std::string> present;
            for (const std::string& child : children)
                if (tree.isExists(child) && shown.count(child) == 0) present.push_back(child);
            if (present.empty()) break;
            shown.insert(present.front());
            QTreeWidgetItem* main = objAddItem(head, tree, present.front(), annotations);
            for (size_t i = 1; i < present.size(); ++i)
                lines.push_back({main, present[i]});
            at = present.front();
        }
    }
    expandAll();
    resizeColumnToContents(0);
}

QTreeWidgetItem* CMoveTreeView::objAddItem(QTreeWidgetItem* parent, const CGameTree& tree,
                                           const std::string& key,
                                           const GameAnnotations& annotations) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    item->setData(0, KeyRole, QString::fromStdString(key));
    items[key] = item;
    RefreshItem(tree, key, annotations);
    return item;
}

void CMoveTreeView::RefreshItem(const CGameTree& tree, const std::string& key,
                                const GameAnnotations& annotations) {
    QTreeWidgetItem* item = objItem(key);
    if (!item) return;
    item->setText(0, strMoveLabel(tree, key, annotations));
    const QString comments =
        strComments(annotations.objNode(key), key == CGameNode::strINITIAL_KEY());
    item->setText(1, comments);
    item->setToolTip(1, comments);
}

QTreeWidgetItem* CMoveTreeView::objItem(const std::string& key) const {
    const auto found = items.find(key);
    return found == items.end() ? nullptr : found->second;
}

// The tree keeps its Enter: passed on, it would press the editor's Save, which closes it.
void CMoveTreeView::keyPressEvent(QKeyEvent* event) {
    QTreeWidget::keyPressEvent(event);
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) event->accept();
}

void CMoveTreeView::SelectKey(const std::string& key) {
    QTreeWidgetItem* item = objItem(key);
    if (!item || item == currentItem()) return;
    const QSignalBlocker quiet(this);
    setCurrentItem(item);
    scrollToItem(item);
}
