// Moves entered on the board: drags, clicks, typed texts, promotions and training answers.
#include "BoardFixture.h"
#include "board/MoveTextInput.h"
#include "board/frmPromote.h"
#include "game/Fen.h"

#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <functional>
#include <map>

namespace {

using MoveInput = BoardFixture;

// Gestures from the start position: "e2-e4" drags, "e2-off" drops off the board, "e2 e4" clicks.
TEST_F(MoveInput, GesturesPlayLegalMovesAndLeaveEverythingElseAsItWas) {
    // gestures, the Moved and Status events joined by ",", the square selected at the end
    const std::tuple<QString, QString, QString> cases[] = {
        {"e2-e4", "Moved:e4,Status:Black to move:1", ""},
        {"e2-e5", "Moved:,Status:White to move:0", ""}, // an illegal square snaps back
        {"g1-h1", "Moved:,Status:White to move:0", ""}, // the last square too
        {"e2-off", "", ""},
        {"e4-e5", "", ""},   // an empty square starts no drag
        {"e2 e5", "", ""},   // not a target: the selection is cancelled
        {"e2 d2", "", "d2"}, // another own piece takes the selection
        {"e2 e2", "", ""},   // a second click lets the piece go
        {"e7", "", ""},      // the side not to move is not selected
        {"e2-e4 d2", "Moved:e4,Status:Black to move:1", ""}, // nor is it when Black moves
        {"e2 d2 d4", "Moved:d4,Status:Black to move:1", ""},
    };
    for (const auto& [gestures, moved, selected] : cases) {
        SCOPED_TRACE(gestures.toStdString());
        board->InitialPosition();
        events.clear();
        for (const QString& g : gestures.split(' ')) {
            const QByteArray from = g.section('-', 0, 0).toLatin1();
            const QByteArray to = g.section('-', 1).toLatin1();
            if (to.isEmpty())
                click(from);
            else
                drag(idx(from), to == "off" ? offBoard() : centre(to));
        }
        EXPECT_EQ(events.filter(QRegularExpression("^(Moved|Status)")).join(","), moved);
        EXPECT_EQ(name(board->intSelectedSquare()), selected);
        const bool played = moved.startsWith("Moved:") && moved[6] != ',';
        EXPECT_EQ(board->objGameTree()->Count(), played ? 2 : 1);
        // the pictures show the position, all of them, with nothing left in the air
        EXPECT_EQ(board->GetDiagramFromGui().toStdString(), diagram());
        for (int i = 0; i < 64; ++i)
            EXPECT_TRUE(board->isPictureVisible(i)) << i;
        EXPECT_FALSE(board->isDragging());
        for (int i = 0; i < 64 && selected.isEmpty(); ++i)
            EXPECT_EQ(board->intTargetMark(i), 0) << i;
    }
    // A view takes no move, from the mouse or from a host; a host's move from an empty square
    // is refused.
    board->InitialPosition();
    board->Mode(BoardMode::View);
    events.clear();
    drag("e2", "e4");
    board->MakeMove(idx("e2"), idx("e4"), 0);
    EXPECT_TRUE(events.filter("Moved").isEmpty());
    EXPECT_TRUE(board->objPosition()->isWhiteToMove());
    board->Mode(BoardMode::FreePlay);
    board->MakeMove(idx("e4"), idx("e5"), 0);
    EXPECT_EQ(events.filter("Moved"), QStringList({"Moved:"}));
}

// The marks on the squares a selected or dragged piece can go to; switched off, moves still play.
TEST_F(MoveInput, TargetsOfTheSelectedPieceFollowTheRules) {
    // Squares carrying a target mark, as "e4:1" (dot) or "d5:2" (ring), sorted by name.
    auto targetMarks = [this] {
        QStringList out;
        for (int i = 0; i < 64; ++i)
            if (board->intTargetMark(i) != 0)
                out << name(i) + ":" + QString::number(board->intTargetMark(i));
        out.sort();
        return out.join(' ');
    };
    const std::tuple<const char*, const char*, const char*> cases[] = {
        // FEN, square, marks
        // a pinned bishop keeps its diagonal; en passant is a capture onto an empty square
        {"4k3/8/8/8/7b/8/5B2/4K3 w - -", "f2", "g3:1 h4:2"},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6", "e5", "d6:2 e6:1"},
    };
    for (const auto& [fen, square, marks] : cases) {
        ASSERT_TRUE(board->ApplyFen(fen)) << fen;
        board->SelectSquare(idx(square));
        EXPECT_EQ(targetMarks(), marks) << fen;
    }
    board->InitialPosition();
    QTest::mousePress(board.get(), Qt::LeftButton, {}, centre("g1"));
    moveMouse(centre("g1") + QPoint(30, -30), Qt::LeftButton);
    EXPECT_TRUE(board->isDragging());
    EXPECT_EQ(targetMarks(), "f3:1 h3:1");
    board->isLegalHintsShown(false);
    EXPECT_EQ(targetMarks(), "");
    QTest::mouseRelease(board.get(), Qt::LeftButton, {}, centre("f3"));
    click("e7");
    click("e5");
    EXPECT_EQ(board->objPosition()->strMoveText(), "e5");
}

// The arrows and square marks as "e2e4:0 d4:2" with their colour numbers (0 green, 1 red, 2 blue,
// 3 yellow), squares named as on an unflipped board.
QString marksText(const CBoardMarks& marks) {
    auto square = [](int s) { return QString("%1%2").arg(QChar('a' + s % 8)).arg(s / 8 + 1); };
    QStringList out;
    for (const CBoardMarks::Arrow& arrow : marks.arrArrows())
        out << square(arrow.from) + square(arrow.to) + ":" + QString::number(arrow.color);
    for (int s = 0; s < 64; ++s)
        if (marks.intMark(s) >= 0) out << square(s) + ":" + QString::number(marks.intMark(s));
    return out.join(' ');
}

TEST_F(MoveInput, RightButtonDrawsArrowsAndMarksThatLeftClicksAndMovesClear) {
    // while the button is held a pale arrow follows the pointer, and nothing is kept yet
    const QColor plain = board->grab().toImage().pixelColor(centre("e3"));
    QTest::mousePress(board.get(), Qt::RightButton, {}, centre("e2"));
    moveMouse(centre("e4"), Qt::RightButton);
    EXPECT_NE(board->grab().toImage().pixelColor(centre("e3")), plain);
    EXPECT_EQ(marksText(board->objMarks()), "");
    QTest::mouseRelease(board.get(), Qt::RightButton, {}, centre("e4"));
    EXPECT_EQ(marksText(board->objMarks()), "e2e4:0");
    board->ClearArrows();
    EXPECT_EQ(board->grab().toImage().pixelColor(centre("e3")), plain);

    click("e2", Qt::RightButton, {}, "e4");
    click("g1", Qt::RightButton, Qt::ShiftModifier, "f3");
    click("d4", Qt::RightButton, Qt::ControlModifier);
    click("c5", Qt::RightButton, Qt::AltModifier);
    EXPECT_EQ(marksText(board->objMarks()), "e2e4:0 g1f3:1 d4:2 c5:3");
    click("e2", Qt::RightButton, {}, "e4"); // the same arrow or mark again takes it away
    click("d4", Qt::RightButton, Qt::ControlModifier);
    EXPECT_EQ(marksText(board->objMarks()), "g1f3:1 c5:3");
    click("a5"); // a left click anywhere clears
    EXPECT_EQ(marksText(board->objMarks()), "");
    click("e2", Qt::RightButton, {}, "e4");
    board->MovePgn("d4", true, false); // so does the next move
    EXPECT_EQ(marksText(board->objMarks()), "");

    // the program's own arrow from a move text, kept on its squares when the board turns
    EXPECT_TRUE(board->DrawMoveArrow("Nc6", CBoardMarks::Blue));
    EXPECT_FALSE(board->DrawMoveArrow("Nc5"));
    EXPECT_FALSE(board->DrawMoveArrow("nonsense"));
    board->isWhiteOnTop(true);
    EXPECT_EQ(marksText(board->objMarks()), "b8c6:2");
    const QColor mid = board->grab().toImage().pixelColor((centre("b8") + centre("c6")) / 2);
    EXPECT_GT(mid.blue(), mid.red() + 60) << "the arrow is painted in its colour";
}

TEST_F(MoveInput, HostMovesByTextReportRefusalsAndTheSquaresOfTheMove) {
    board->MovePgn("e4", true, true);
    board->MovePgn("e4", true, true); // the black pawn cannot go to e4
    board->MovePgn("e5", true, false);
    EXPECT_EQ(events, QStringList({"Moved:e4", "Status:Black to move:1",
                                   "Moved:", "Status:Black to move:1", "Status:White to move:1"}));
    board->MovePgn("d4", false, false); // without display the pictures wait for the next redraw
    EXPECT_EQ(board->intPictureSlot(idx("d4")), -1);
    board->MovePgn("d5", true, false);
    EXPECT_EQ(board->intPictureSlot(idx("d4")), 5);

    // flipped, the moves before, the move, its squares as display indices
    const std::tuple<bool, QString, const char*, int, int> cases[] = {
        {false, "", "Nf3", 62, 45},
        {true, "", "Nf3", 1, 18},
        {true, "e4 e5 Nf3 Nc6 Bc4 Bc5 O-O Nf6 d3", "O-O", 59, 57},
        {false, "d4 d5 Nc3 Nc6 Bf4 Bf5 Qd2 Qd7", "O-O-O", 60, 58},
        {false, "", "Ke2", -7, -7}, // refused: the indices are left alone
    };
    for (const auto& [flipped, moves, last, expectedFrom, expectedTo] : cases) {
        board->InitialPosition();
        board->isWhiteOnTop(flipped);
        play(moves, false);
        int from = -7, to = -7;
        board->MovePgn2(last, from, to, true, true);
        EXPECT_EQ(std::make_pair(from, to), std::make_pair(expectedFrom, expectedTo)) << last;
    }
}

// Drags ("e7-e8") open the real picker over the square, typed texts only when they name no
// piece; a timer answers it with Enter on the button of that name or by closing it.
TEST_F(MoveInput, PromotionTakesTheNamedOrPickedPieceAndNoPickRefuses) {
    const char* white = "7k/4P3/8/8/8/8/8/K7 w - -";
    // FEN, input, the button pressed ("": the picker is closed, nullptr: it must not open), the
    // move, the square and picture slot of the piece afterwards
    using Case = std::tuple<const char*, QString, const char*, QString, const char*, int>;
    const Case cases[] = {
        {white, "e7-e8", "Knight", "e8=N", "e8", 3},
        {white, "e7-e8", "Rook", "e8=R", "e8", 4},
        {white, "e7-e8", "", "", "e7", 5},
        {"7k/8/8/8/8/8/3p4/K7 w - -", "d2-d1", nullptr, "", "d2", 11}, // not the side to move
        {white, "e8=B", nullptr, "e8=B", "e8", 2},
        {white, "e8", "Queen", "e8=Q", "e8", 1},
    };
    for (const auto& [fen, input, button, moved, square, slot] : cases) {
        SCOPED_TRACE(input.toStdString());
        ASSERT_TRUE(board->ApplyFen(fen));
        bool opened = false;
        QTimer::singleShot(0, [&] {
            auto* picker = qobject_cast<frmPromote*>(QApplication::activeModalWidget());
            opened = picker != nullptr;
            if (!opened) return;
            EXPECT_EQ(picker->windowTitle(), "Select promotion piece");
            const QRect queen(picker->cmdQueen->mapToGlobal(QPoint(0, 0)),
                              picker->cmdQueen->size());
            const QRect e8 = board->rcSquarePixels(idx("e8"));
            if (input.contains('-')) { // over the square the queen sits on it
                EXPECT_TRUE(queen.intersects(QRect(board->mapToGlobal(e8.topLeft()), e8.size())));
            }
            for (QPushButton* piece : picker->findChildren<QPushButton*>()) {
                EXPECT_FALSE(piece->icon().isNull()) << "the piece is shown as a picture";
                if (piece->toolTip() == button) QTest::keyClick(piece, Qt::Key_Return);
            }
            picker->close();
        });
        events.clear();
        if (input.contains('-'))
            drag(input.left(2).toLatin1(), input.right(2).toLatin1());
        else
            EXPECT_EQ(board->strPlayMoveText(input), "");
        QApplication::processEvents(); // the timer runs here when no picker took it
        EXPECT_EQ(opened, button != nullptr);
        EXPECT_EQ(events.filter("Moved:").value(0, "Moved:"), "Moved:" + moved);
        EXPECT_EQ(board->intPictureSlot(idx(square)), slot);
    }
    // a board given another mode or game while the piece is chosen takes no move
    const std::function<void()> changes[] = {[&] { board->Mode(BoardMode::View); },
                                             [&] { board->ApplyFen(white); }};
    for (const auto& change : changes) {
        ASSERT_TRUE(board->ApplyFen(white));
        board->SetPromotionChooser([&](QWidget*) { return change(), QString("Q"); });
        drag("e7", "e8");
        EXPECT_EQ(board->objGameTree()->Count(), 1) << board->Mode();
    }
}

TEST(MoveTextInput, TypedTextsAreMatchedAgainstTheLegalMoves) {
    const char* start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";
    const char* open = "rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w KQkq -";
    const char* knights = "4k3/8/8/8/8/5N2/8/1N2K3 w - -";
    const char* rooks = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -";
    const char* pawn = "4k3/P7/8/8/8/8/8/4K3 w - -";
    using M = MoveTextMatch;
    // FEN, text, result, the squares and promotion letter of the move played
    const std::tuple<const char*, const char*, M::Result, std::string> cases[] = {
        {start, "Nf3", M::Played, "g1f3"},
        {start, "g1f3", M::Played, "g1f3"},
        {start, "e4!", M::Played, "e2e4"},
        {start, "hello", M::Unreadable, ""},
        {open, "exd5+", M::Played, "e4d5"},
        // two knights reach d2: the bare text is ambiguous, a file or a rank settles it
        {knights, "Nd2", M::Ambiguous, ""},
        {knights, "Nbd2", M::Played, "b1d2"},
        {knights, "N3d2", M::Played, "f3d2"},
        {knights, "Ngd2", M::Illegal, ""},
        {rooks, "0-0-0", M::Played, "e1c1"},
        {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq -", "O-O", M::Played, "e8g8"},
        {pawn, "a8=N", M::Played, "a7a8N"},
        {pawn, "a7a8q", M::Played, "a7a8Q"},
        {pawn, "a8", M::Played, "a7a8"},
    };
    auto squareName = [](int square) { // square as file + 8 * rank
        return std::string{char('a' + square % 8), char('1' + square / 8)};
    };
    for (const auto& [fen, text, result, move] : cases) {
        const M m = objMatchMoveText(objTryReadFen(fen), text);
        EXPECT_EQ(m.result, result) << fen << " " << text;
        const std::string played = squareName(m.from) + squareName(m.to) +
                                   (m.promotion != 0 ? std::string(1, m.promotion) : "");
        EXPECT_EQ(result == M::Played ? played : "", move) << text;
    }
}

TEST_F(MoveInput, EnterInTheMoveBoxPlaysLikeADropOrSaysWhyNot) {
    // mode, text, played (the box is emptied and the move made), start of the message beside it
    const std::tuple<BoardMode, const char*, bool, QString> cases[] = {
        {BoardMode::FreePlay, "  e2e4 ", true, ""},
        {BoardMode::FreePlay, "Nf6", false, "\"Nf6\" is not a legal move"},
        {BoardMode::FreePlay, "zz9", false, "\"zz9\" is not a move"},
        {BoardMode::View, "e4", false, "Moves are not taken"},
    };
    for (const auto& [mode, text, played, said] : cases) {
        board->InitialPosition();
        board->Mode(mode);
        board->txtMove->setText(text);
        QTest::keyClick(board->txtMove, Qt::Key_Return);
        EXPECT_EQ(board->txtMove->text().isEmpty(), played) << text;
        EXPECT_EQ(board->lblMoveResult->text().left(said.size()), said) << text;
        EXPECT_EQ(board->lblMoveResult->text().isEmpty(), said.isEmpty()) << text;
        EXPECT_EQ(board->objPosition()->isWhiteToMove(), !played) << text;
    }
    // Another game takes neither the text typed for the last one nor the word on it.
    board->objGameTree(Book({"e4"}).tree);
    EXPECT_EQ(board->txtMove->text() + board->lblMoveResult->text(), QString());
    EXPECT_TRUE(board->txtMove->isHidden()) << "no box in view mode";
    board->Mode(BoardMode::Training);
    EXPECT_FALSE(board->txtMove->isHidden());
    board->isMoveEntryShown(false);
    EXPECT_TRUE(board->txtMove->isHidden());
}

// Training: the program answers for Black with the stored reply; a wrong move changes nothing.
TEST_F(MoveInput, TrainingMovesAreAnsweredUntilTheLastStoredMoveOrRefused) {
    // the stored line, the moves (dragged, or typed when written as text), every event, and the
    // black move list afterwards
    const std::tuple<const char*, QString, QStringList, QStringList> cases[] = {
        {"e4 e5", "d2-d4", {"Training:Wrong move", "Moved:"}, {}},
        {"e4 e5 Nf3 Nc6",
         "e2-e4 Nf3",
         {"Moved:e4", "Moved:e5", "Status:White to move:1", "Training:e5", "Status:White to move:1",
          "Moved:Nf3", "Moved:Nc6", "Status:White to move:2", "Training:Nc6", "Training:Successful",
          "Status:White to move:2"},
         {"e5", "Nc6"}},
    };
    for (const auto& [line, moves, expected, black] : cases) {
        SCOPED_TRACE(line);
        train({line});
        const int nodes = board->objGameTree()->Count();
        for (const QString& move : moves.split(' ')) {
            if (move.contains('-'))
                drag(move.left(2).toLatin1(), move.right(2).toLatin1());
            else
                EXPECT_EQ(board->strPlayMoveText(move), "");
        }
        EXPECT_EQ(events, expected);
        EXPECT_EQ(items(board->lstBlackMoves), black);
        const bool solved = expected.contains("Training:Successful");
        EXPECT_EQ(board->lstVariations->count(), solved ? 0 : 1) << "the line's end offers none";
        EXPECT_EQ(board->objGameTree()->Count(), nodes) << "training adds no node";
        EXPECT_EQ(board->GetDiagramFromGui().toStdString(), diagram());
    }

    // a host may call back into the board while the reply is reported
    train({"e4 e5"});
    bool whiteToMove = false;
    QObject::connect(board.get(), &cntrlChessGui::TrainingStatus, board.get(),
                     [&](const QString& s) {
                         if (s != "Successful") return;
                         whiteToMove = board->objPosition()->isWhiteToMove();
                         board->Mode(BoardMode::View);
                     });
    drag("e2", "e4");
    EXPECT_TRUE(whiteToMove);
    EXPECT_EQ(board->boardMode(), BoardMode::View);
}

TEST_F(MoveInput, StoredRepliesAreChosenEvenly) {
    board->SeedRandom(12345);
    std::map<QString, int> counts;
    for (int run = 0; run < 300; ++run) {
        train({"e4 e5", "e4 c5", "e4 e6"});
        board->MakeMove(idx("e2"), idx("e4"), 0);
        ++counts[events.filter("Training:").value(0)];
    }
    ASSERT_EQ(counts.size(), 3u);
    for (const auto& [reply, n] : counts)
        EXPECT_TRUE(n > 60 && n < 140) << reply.toStdString() << " " << n;
}

} // namespace
