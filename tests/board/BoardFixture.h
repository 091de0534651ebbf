#pragma once

#include "board/CMessageBox.h"
#include "board/cntrlChessGui.h"
#include "game/CPosition.h"
#include "model/CDiagram.h"
#include "tests/game/GameTreeTestSupport.h"

#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

// Readable failure messages (GoogleTest prints a QStringList through it, as a container).
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

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
        cntrlChessGui* b = board.get();
        QObject::connect(b, &cntrlChessGui::Moved,
                         [this](const QString& t) { events << "Moved:" + t; });
        QObject::connect(b, &cntrlChessGui::Status, [this](const QString& s, int n) {
            events << "Status:" + s + ":" + QString::number(n);
        });
        QObject::connect(b, &cntrlChessGui::TrainingStatus,
                         [this](const QString& t) { events << "Training:" + t; });
        QObject::connect(b, &cntrlChessGui::SquareClicked, [this](int i, const QString& n) {
            events << "Clicked:" + QString::number(i) + ":" + n;
        });
        QObject::connect(b, &cntrlChessGui::Setup, [this] { events << "Setup"; });
    }

    // Display index of a square name in the board's orientation, and back.
    int idx(const char* name) const {
        return CBoardGeometry::intGetIndex(name, board->isWhiteOnTop());
    }
    QString name(int index) const {
        return index < 0 ? QString()
                         : QString::fromStdString(
                               CBoardGeometry::strSquareName(index, board->isWhiteOnTop()));
    }
    QPoint centre(const char* square) const { return board->rcSquarePixels(idx(square)).center(); }

    void moveMouse(QPoint to, Qt::MouseButtons held, Qt::KeyboardModifiers keys = {}) {
        QMouseEvent move(QEvent::MouseMove, QPointF(to), board->mapToGlobal(QPointF(to)),
                         Qt::NoButton, held, keys);
        QApplication::sendEvent(board.get(), &move);
    }
    // Drags with real mouse events from one square to a point.
    void drag(int from, QPoint to, Qt::KeyboardModifiers keys = {}) {
        const QPoint start = board->rcSquarePixels(from).center();
        QTest::mousePress(board.get(), Qt::LeftButton, keys, start);
        moveMouse((start + to) / 2, Qt::LeftButton, keys);
        moveMouse(to, Qt::LeftButton, keys);
        QTest::mouseRelease(board.get(), Qt::LeftButton, keys, to);
    }
    void drag(const char* from, const char* to, Qt::KeyboardModifiers keys = {}) {
        drag(idx(from), centre(to), keys);
    }
    // Press and release of one button, on one square or from one square to another.
    void click(const char* square, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers keys = {}, const char* releaseOn = nullptr) {
        QTest::mousePress(board.get(), button, keys, centre(square));
        QTest::mouseRelease(board.get(), button, keys, centre(releaseOn ? releaseOn : square));
    }
    QPoint offBoard() const { return {board->width() - 2, board->height() - 2}; }

    // Plays move texts (separated by spaces) as a host does.
    void play(const QString& moves, bool display = true) {
        for (const QString& move : moves.split(' ', Qt::SkipEmptyParts))
            board->MovePgn(move, display, false);
    }

    std::string diagram() const { return board->objPosition()->objDiagram()->strToString(); }

    static QStringList items(const QListWidget* list) {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }

    // Starts training on the lines (moves separated by spaces) with the program answering for
    // Black.
    void train(const std::vector<std::string>& lines) {
        board->ComputerPlays(1);
        board->objGameTree(Book(lines).tree);
        board->Mode(BoardMode::Training);
        events.clear();
    }

    std::unique_ptr<cntrlChessGui> board;
    std::shared_ptr<RecordingMessageBox> messages;
    QStringList events;
};
