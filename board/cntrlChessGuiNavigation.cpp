// Navigation of the board control: the two move lists, the variation list, the five navigation
// steps and deleting a variation.
#include "board/cntrlChessGui.h"
#include "game/CGameNode.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/SideToMove.h"

#include <QListWidget>
#include <QScrollBar>
#include <algorithm>
#include <vector>

namespace {
QString strCleanMove(const std::string& text) {
    QString clean = QString::fromStdString(text);
    clean.remove('+');
    clean.remove('P');
    return clean;
}

QString strLast(const QListWidget* list) {
    return list->count() == 0 ? QString() : list->item(list->count() - 1)->text();
}

void setLast(QListWidget* list, const QString& text) {
    if (list->count() > 0) list->item(list->count() - 1)->setText(text);
}

void removeLast(QListWidget* list) {
    if (list->count() > 0) delete list->takeItem(list->count() - 1);
}
} // namespace

void cntrlChessGui::ClearMoveLists() {
    lstWhiteMoves->clear();
    lstBlackMoves->clear();
}

void cntrlChessGui::SyncLists(QListWidget* from) {
    QListWidget* other = from == lstWhiteMoves ? lstBlackMoves : lstWhiteMoves;
    const QSignalBlocker blockOther(other);
    const QSignalBlocker blockBar(other->verticalScrollBar());
    if (other->count() > from->currentRow() && other->currentRow() != from->currentRow())
        other->setCurrentRow(from->currentRow());
    other->verticalScrollBar()->setValue(from->verticalScrollBar()->value());
}

void cntrlChessGui::AddToMoveLists(const std::shared_ptr<CPosition>& pos, const QString& move) {
    if (move == "...") return;
    // A move goes in its own side's column, also the last one of a game (a mate or stalemate),
    // and shows its check or mate sign as the list of next moves does.
    const QString text = QString::fromStdString(strWithCheckSign(*pos, move.toStdString()));
    const QString number = QString::number(pos->intMoveNumber());
    if (!isWhiteSideToMove(*pos)) {
        const QString entry = number + "." + text;
        if (strLast(lstWhiteMoves) == entry && lstWhiteMoves->count() > 0) return;
        lstWhiteMoves->addItem(entry);
        lstBlackMoves->addItem("");
        lstWhiteMoves->setCurrentRow(lstWhiteMoves->count() - 1);
        return;
    }
    if (lstBlackMoves->count() > 0 && strLast(lstBlackMoves).isEmpty()) removeLast(lstBlackMoves);
    lstBlackMoves->addItem(text);
    if (lstBlackMoves->count() > lstWhiteMoves->count())
        lstWhiteMoves->addItem(number + ". " + " ... ");
    lstBlackMoves->setCurrentRow(lstBlackMoves->count() - 1);
}

void cntrlChessGui::RefreshVariations(const NodeArray& children) {
    lstVariations->clear();
    std::vector<bool> marked;
    for (const auto& child : children)
        if (child != nullptr && child->objPosition() != nullptr) {
            lstVariations->addItem(QString::fromStdString(
                strWithCheckSign(*child->objPosition(),
                                 strCleanMove(child->objPosition()->strMoveText()).toStdString())));
            marked.push_back(tries.count(child->strKey()) != 0);
        }
    if (lstVariations->count() == 0) return;
    if (lstVariations->item(0)->text() != "...")
        lstVariations->setCurrentRow(0);
    else
        lstVariations->setCurrentRow(lstVariations->count() == 1 ? 0 : 1);
    // The trainee's move offered next is the solution's, not a refuted try stored ahead of it
    // (the program's replies are all the solution's).
    const auto solution = std::find(marked.begin(), marked.end(), false);
    if (marked[static_cast<size_t>(lstVariations->currentRow())] && solution != marked.end() &&
        !isProgramToMove())
        lstVariations->setCurrentRow(static_cast<int>(solution - marked.begin()));
}

void cntrlChessGui::NavigationTail() {
    NoteNavigation();
    RefreshVariations(nextNodes);
    DisplayPosition();
    emit Moved(strCleanMove(position->strMoveText()));
    RaiseStatus();
}

void cntrlChessGui::cmdNavigation_Click(int k) {
    // A button press never ends in an error: whatever steps were reached keep their effect.
    try {
        switch (k) {
        case 0:
            NavigateInitial();
            break;
        case 1:
            NavigatePreviousBranch();
            break;
        case 2:
            NavigatePrevious();
            break;
        case 3:
            NavigateNext();
            break;
        case 4:
            NavigateNextBranch();
            break;
        default:
            break;
        }
    } catch (...) {
    }
}

bool cntrlChessGui::GoToNode(const std::string& key) {
    if (tree == nullptr || !tree->isExists(key) || tree->Item(key)->objPosition() == nullptr)
        return false;
    const std::shared_ptr<CGameNode> node = tree->Item(key);
    tree->objCurrentNode(node);
    nextNodes = tree->arrobjGetNextNodes(node);
    position = node->objPosition();
    RebuildMoveLists();
    NavigationTail();
    return true;
}

void cntrlChessGui::NavigateInitial() {
    const auto node = tree->objMoveFirst(nextNodes);
    if (node != nullptr && node->objPosition() != nullptr) position = node->objPosition();
    ClearMoveLists();
    NavigationTail();
}

void cntrlChessGui::NavigatePreviousBranch() {
    const auto node = tree->objMovePrevBranch(nextNodes);
    if (node != nullptr && node->objPosition() != nullptr) position = node->objPosition();
    RebuildMoveLists();
    NavigationTail();
}

void cntrlChessGui::NavigatePrevious() {
    const auto node = tree->objMovePrevious(nextNodes);
    if (node != nullptr && node->objPosition() != nullptr) position = node->objPosition();
    if (!position->isBlackToMove()) {
        if (lstWhiteMoves->count() > 0) {
            removeLast(lstWhiteMoves);
            if (lstBlackMoves->count() > 0 && strLast(lstBlackMoves).isEmpty())
                removeLast(lstBlackMoves);
            lstWhiteMoves->setCurrentRow(lstWhiteMoves->count() - 1);
        }
    } else if (lstBlackMoves->count() > 0) {
        setLast(lstBlackMoves, "");
        // Back before a game's first move, a move of Black's: its row holds no move any more.
        if (strLast(lstWhiteMoves).endsWith(" ... ")) {
            removeLast(lstWhiteMoves);
            removeLast(lstBlackMoves);
        }
        lstBlackMoves->setCurrentRow(lstBlackMoves->count() - 1);
    }
    NavigationTail();
}

void cntrlChessGui::NavigateNext() {
    if (lstVariations->count() == 0) return;
    const auto node = tree->objMoveNext(lstVariations->currentRow(), nextNodes);
    if (node != nullptr && node->objPosition() != nullptr) {
        position = node->objPosition();
        AddToMoveLists(position, strCleanMove(position->strMoveText()));
    }
    NavigationTail();
}

void cntrlChessGui::NavigateNextBranch() {
    if (lstVariations->count() > 0) NavigateNext();
    const auto node = tree->objMoveLast(nextNodes);
    if (node != nullptr && node->objPosition() != nullptr) position = node->objPosition();
    RebuildMoveLists();
    NavigationTail();
}

void cntrlChessGui::RebuildMoveLists() {
    ClearMoveLists();
    std::vector<std::shared_ptr<CGameNode>> path;
    std::shared_ptr<CGameNode> node = tree->objCurrentNode();
    // The walk stops at the root or at a node whose parent is missing; the depth bound guards
    // against a corrupt tree whose parent keys form a cycle.
    while (node != nullptr && path.size() <= static_cast<size_t>(tree->Count())) {
        path.push_back(node);
        if (node->strKey() == CGameNode::strINITIAL_KEY()) break;
        if (!tree->isExists(node->strParentKey())) break;
        node = tree->Item(node->strParentKey());
    }
    for (auto it = path.rbegin(); it != path.rend(); ++it)
        if ((*it)->objPosition() != nullptr)
            AddToMoveLists((*it)->objPosition(), strCleanMove((*it)->objPosition()->strMoveText()));
}

void cntrlChessGui::cmdDelete_Click() {
    try {
        if (lstVariations->count() == 0) return;
        if (nextNodes.empty()) {
            lstVariations->clear();
            return;
        }
        const int row = lstVariations->currentRow();
        if (row < 0 || row >= static_cast<int>(nextNodes.size()) || nextNodes[row] == nullptr)
            return;
        tree->Remove(nextNodes[row]->strKey());
        nextNodes.clear();
        for (const std::string& key : tree->objCurrentNode()->arrstrGetChildrenKey())
            nextNodes.push_back(tree->Item(key));
        RefreshVariations(nextNodes);
    } catch (...) {
    }
}
