// Cost of the board control's hot paths: a training drop with its judgement and the stored
// reply, a free-play drop, the repaint that follows a move, selecting a piece with its targets
// and one frame of a sliding piece, beside the bare rules work of the same move (the limit the
// control cannot go under).
//
//   QT_QPA_PLATFORM=offscreen build/bench/board/bench_board
#include "board/cntrlChessGui.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/PositionConstructors.h"
#include "model/CChessSquare.h"
#include "model/CDiagram.h"
#include "model/Constructors.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

std::shared_ptr<CGameTree> trainingTree() {
    auto tree = std::make_shared<CGameTree>();
    GameNodeList next;
    auto pos = objNewStartPosition();
    tree->Add(pos, next);
    for (const char* move : {"e4", "e5", "Nf3", "Nc6", "Bb5", "a6"}) {
        pos = pos->objProcessMove(move);
        tree->Add(pos->objClone(), next);
    }
    tree->objMoveFirst(next);
    return tree;
}

// A drop in training mode: legality, move text, comparison with the stored moves, the tree
// update and the program's stored reply, with every event delivered.
void BM_TrainingDropWithReply(benchmark::State& state) {
    cntrlChessGui board;
    board.ComputerPlays(1);
    const auto tree = trainingTree();
    int events = 0;
    QObject::connect(&board, &cntrlChessGui::TrainingStatus, [&](const QString&) { ++events; });
    const int e2 = CBoardGeometry::intGetIndex("e2", false);
    const int e4 = CBoardGeometry::intGetIndex("e4", false);
    for (auto _ : state) {
        state.PauseTiming();
        board.objGameTree(tree);
        board.Mode(BoardMode::Training);
        state.ResumeTiming();
        board.MakeMove(e2, e4, 0);
    }
    if (events != static_cast<int>(state.iterations())) state.SkipWithError("no reply was played");
}
BENCHMARK(BM_TrainingDropWithReply)->Unit(benchmark::kMicrosecond);

// A drop in free play (the move is added to the tree).
void BM_FreePlayDrop(benchmark::State& state) {
    cntrlChessGui board;
    const int g1 = CBoardGeometry::intGetIndex("g1", false);
    const int f3 = CBoardGeometry::intGetIndex("f3", false);
    for (auto _ : state) {
        state.PauseTiming();
        board.InitialPosition();
        state.ResumeTiming();
        board.MakeMove(g1, f3, 0);
    }
}
BENCHMARK(BM_FreePlayDrop)->Unit(benchmark::kMicrosecond);

// The rules alone for the same move: legality, application and notation.
void BM_RulesOnlyForTheSameMove(benchmark::State& state) {
    const auto start = objNewStartPosition();
    const auto& g1 = CChessSquare::objGetSquare(6, 0);
    const auto& f3 = CChessSquare::objGetSquare(5, 2);
    const auto piece = start->objDiagram()->objGetChessPiece(g1);
    for (auto _ : state) {
        auto move = objNewMove(objNewPieceLocation(g1, piece), objNewPieceLocation(f3, piece));
        const bool legal = start->isLegalMove(*move);
        auto next = start->objMove1(*move);
        auto text = start->strGetMoveNotation(*move);
        benchmark::DoNotOptimize(legal);
        benchmark::DoNotOptimize(next);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_RulesOnlyForTheSameMove)->Unit(benchmark::kMicrosecond);

// Repaint after a move: only the changed squares are drawn. Arg 0 = after a move, 1 = whole board.
void BM_RepaintAfterMove(benchmark::State& state) {
    cntrlChessGui board;
    board.resize(760, 684);
    board.show();
    QApplication::processEvents();
    const bool whole = state.range(0) == 1;
    int painted = 0;
    for (auto _ : state) {
        state.PauseTiming();
        board.InitialPosition();
        QApplication::processEvents();
        board.MovePgn("Nf3", true, false);
        state.ResumeTiming();
        if (whole)
            board.repaint();
        else
            QApplication::processEvents();
        painted = board.intLastPaintedSquares();
    }
    state.counters["squares"] = painted;
}
BENCHMARK(BM_RepaintAfterMove)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A training drop on a shown board as the trainee sees it: judgement, the stored reply, the
// last-move tint, the start of the reply's slide, and the repaint of what changed.
void BM_ShownDropWithHighlightAndSlideStart(benchmark::State& state) {
    cntrlChessGui board;
    board.resize(760, 684);
    board.show();
    board.ComputerPlays(1);
    board.isSoundOn(false);
    const auto tree = trainingTree();
    const int e2 = CBoardGeometry::intGetIndex("e2", false);
    const int e4 = CBoardGeometry::intGetIndex("e4", false);
    int painted = 0;
    int sliding = 0;
    for (auto _ : state) {
        state.PauseTiming();
        board.objGameTree(tree);
        board.Mode(BoardMode::Training);
        QApplication::processEvents();
        state.ResumeTiming();
        board.MakeMove(e2, e4, 0);
        sliding += board.isAnimating() ? 1 : 0;
        QApplication::processEvents();
        painted = board.intLastPaintedSquares();
    }
    if (sliding != static_cast<int>(state.iterations())) state.SkipWithError("no slide started");
    state.counters["squares"] = painted;
}
BENCHMARK(BM_ShownDropWithHighlightAndSlideStart)->Unit(benchmark::kMicrosecond);

// Selecting a piece: its legal targets found and the squares that change repainted.
void BM_SelectPieceWithTargets(benchmark::State& state) {
    cntrlChessGui board;
    board.resize(760, 684);
    board.show();
    board.MovePgn("e4", true, false);
    board.MovePgn("e5", true, false);
    QApplication::processEvents();
    const int g1 = CBoardGeometry::intGetIndex("g1", false);
    for (auto _ : state) {
        board.SelectSquare(g1);
        QApplication::processEvents();
        board.SelectSquare(-1);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_SelectPieceWithTargets)->Unit(benchmark::kMicrosecond);

// One frame of a sliding piece on a board of squares 1000 pixels wide (the reply Nf6 crossing two
// squares diagonally): the piece moved along its path and the region it left and entered repainted.
void BM_SlideFrameAt1000Px(benchmark::State& state) {
    cntrlChessGui board;
    board.isFillingSpace(true);
    board.Mode(BoardMode::Training);
    board.isMoveEntryShown(false);
    board.resize(1065, 1065); // the squares span 1000 pixels
    board.show();
    board.intAnimationMs(2000);
    board.MovePgn("e4", true, false);
    QApplication::processEvents();
    board.MovePgn("Nf6", true, false);
    QApplication::processEvents();
    double t = 0;
    int painted = 0;
    for (auto _ : state) {
        if (!board.isAnimating()) {
            // The slide's own clock ran out: take the reply back and play it again.
            state.PauseTiming();
            board.cmdNavigation_Click(2);
            board.MovePgn("Nf6", true, false);
            QApplication::processEvents();
            state.ResumeTiming();
        }
        t = t >= 0.95 ? 0.05 : t + 0.05;
        board.SetAnimationProgress(t);
        QApplication::processEvents();
        painted = board.intLastPaintedSquares();
    }
    state.counters["squares"] = painted;
    state.counters["board_px"] = board.rcSquarePixels(63).right() - board.rcSquarePixels(0).left();
}
BENCHMARK(BM_SlideFrameAt1000Px)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
