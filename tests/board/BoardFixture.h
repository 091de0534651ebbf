#pragma once

#include "board/CMessageBox.h"
#include "board/cntrlChessGui.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/PositionConstructors.h"
#include "model/CDiagram.h"

#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

// Records the warnings the control would show.
class RecordingMessageBox : public CMessageBox {
public:
    void ShowWarning(QWidget*, const QString& text, const QString& title) override {
        shown << title + ": " + text;
    }
    QStringList shown;
};

// A shown control with every event recorded as "Name:args" in order.
class BoardFixture : public ::testing::Test {
protected:
    void SetUp() override {
        board = std::make_unique<cntrlChessGui>();
        board->resize(760, 684);
        board->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(board.get()));
        messages = std::make_shared<RecordingMessageBox>();
        board->SetMessageBox(messages);
        QObject::connect(board.get(), &cntrlChessGui::Moved,
                         [this](const QString& t) { events << "Moved:" + t; });
        QObject::connect(board.get(), &cntrlChessGui::Status, [this](const QString& s, int n) {
            events << "Status:" + s + ":" + QString::number(n);
        });
        QObject::connect(board.get(), &cntrlChessGui::TrainingStatus,
                         [this](const QString& t) { events << "Training:" + t; });
        QObject::connect(board.get(), &cntrlChessGui::SquareClicked,
                         [this](int i, const QString& n) {
                             events << "Clicked:" + QString::number(i) + ":" + n;
                         });
        QObject::connect(board.get(), &cntrlChessGui::Setup, [this] { events << "Setup"; });
    }

    // Display index of a square name in the board's orientation.
    int idx(const char* name) const {
        return CBoardGeometry::intGetIndex(name, board->isWhiteOnTop());
    }

    // Drags with real mouse events from one square to another (or to a point off the board).
    void drag(int from, QPoint to, Qt::KeyboardModifiers keys = Qt::NoModifier) {
        const QPoint start = board->rcSquarePixels(from).center();
        QTest::mousePress(board.get(), Qt::LeftButton, keys, start);
        QMouseEvent move(QEvent::MouseMove, QPointF((start + to) / 2),
                         board->mapToGlobal(QPointF((start + to) / 2)), Qt::NoButton,
                         Qt::LeftButton, keys);
        QApplication::sendEvent(board.get(), &move);
        QMouseEvent move2(QEvent::MouseMove, QPointF(to), board->mapToGlobal(QPointF(to)),
                          Qt::NoButton, Qt::LeftButton, keys);
        QApplication::sendEvent(board.get(), &move2);
        QTest::mouseRelease(board.get(), Qt::LeftButton, keys, to);
    }
    void drag(const char* from, const char* to, Qt::KeyboardModifiers keys = Qt::NoModifier) {
        drag(idx(from), board->rcSquarePixels(idx(to)).center(), keys);
    }

    // Diagram text of the current position.
    std::string diagram() const { return board->objPosition()->objDiagram()->strToString(); }

    // Contents of a list widget.
    static QStringList items(const QListWidget* list) {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }

    // A tree from the start position holding the given lines (moves separated by spaces).
    static std::shared_ptr<CGameTree> makeTree(const QStringList& lines) {
        auto tree = std::make_shared<CGameTree>();
        GameNodeList next;
        auto root = objNewStartPosition();
        tree->Add(root, next);
        for (const QString& line : lines) {
            tree->objMoveFirst(next);
            auto pos = root;
            for (const QString& move : line.split(' ', Qt::SkipEmptyParts)) {
                pos = pos->objProcessMove(move.toStdString());
                EXPECT_NE(pos, nullptr) << move.toStdString();
                if (pos == nullptr) return tree;
                tree->Add(pos->objClone(), next);
            }
        }
        tree->objMoveFirst(next);
        return tree;
    }

    std::unique_ptr<cntrlChessGui> board;
    std::shared_ptr<RecordingMessageBox> messages;
    QStringList events;
};
