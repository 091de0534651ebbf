#pragma once

#include <QTreeWidget>
#include <memory>
#include <string>
#include <unordered_map>

class CGameTree;
struct GameAnnotations;

// The moves of a game as a tree: the start position holds the main line; a variation hangs
// under the move it replaces, its first move holding the rest of it. Each item shows the move
// with its mark and, beside it, its comments; it keeps the node key in its data.
class CMoveTreeView : public QTreeWidget {
    Q_OBJECT
public:
    // The role that gives an item's node key.
    static constexpr int KeyRole = Qt::UserRole;

    explicit CMoveTreeView(QWidget* parent = nullptr);

    // Shows the tree's moves with the annotations; rebuilds only when the tree's shape changed.
    void ShowTree(const CGameTree& tree, const GameAnnotations& annotations);
    // Removes every item; the next ShowTree builds them anew.
    void Clear();
    // Selects the node's item without raising NodeChosen.
    void SelectKey(const std::string& key);
    // Writes the node's mark and comments into its item again.
    void RefreshItem(const CGameTree& tree, const std::string& key,
                     const GameAnnotations& annotations);
    // The item of the node, nullptr when it has none.
    QTreeWidgetItem* objItem(const std::string& key) const;
    // The text an item shows for the node: number, move and mark ("4. Qh3?", "4... Qxd5").
    static QString strMoveLabel(const CGameTree& tree, const std::string& key,
                                const GameAnnotations& annotations);

signals:
    // The user chose the node's item.
    void NodeChosen(const QString& key);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Rebuild(const CGameTree& tree, const GameAnnotations& annotations);
    QTreeWidgetItem* objAddItem(QTreeWidgetItem* parent, const CGameTree& tree,
                                const std::string& key, const GameAnnotations& annotations);

    std::string shape;
    std::unordered_map<std::string, QTreeWidgetItem*> items;
};
