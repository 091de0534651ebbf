// How long the trainee waits for the engine: the practice window's answer time from the trainee's
// move to the engine's move on the board, beside the engine's own search time and beside the raw
// round trip through a pipe to the same engine; and the cost of reading and translating output.
#include "board/cntrlChessGui.h"
#include "engine/CEngineBridge.h"
#include "engine/CUciTranslator.h"
#include "engine/EngineOutput.h"
#include "game/Fen.h"
#include "practice/frmCrafty.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <benchmark/benchmark.h>
#include <memory>
#include <string>

namespace {

const char* const startFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

// The practice window: trainee plays e4, time until the engine's move is on the board.
void BM_PracticeWindowAnswer(benchmark::State& state) {
    cntrlChessGui mainBoard;
    mainBoard.ApplyPosition(objReadFen(startFen));
    frmCrafty window(&mainBoard, {BRISOLT_STOCKFISH, EngineProtocol::Uci, "Stockfish"}, nullptr,
                     [](QWidget*, const QString&) {});
    window.show();
    double engineMs = 0;
    double overheadMs = 0;
    for (auto _ : state) {
        window.lblReplay->click(); // a fresh engine and the test position, as a new game
        // The trainee looks at the position before moving; the engine settles meanwhile.
        QElapsedTimer thinking;
        thinking.start();
        while (thinking.elapsed() < 300)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        QElapsedTimer clock;
        clock.start();
        window.cntrlChess->MovePgn("e4", true, true);
        while (window.cursor().shape() == Qt::WaitCursor)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 1);
        const double elapsedMs = clock.nsecsElapsed() / 1e6;
        state.SetIterationTime(elapsedMs / 1000);
        const int reported = window.bridge()->intEngineReportedMs();
        engineMs += reported;
        overheadMs += elapsedMs - reported;
    }
    state.counters["engine_ms"] = benchmark::Counter(engineMs, benchmark::Counter::kAvgIterations);
    state.counters["overhead_ms"] =
        benchmark::Counter(overheadMs, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_PracticeWindowAnswer)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// The raw limit: the same search asked of a fresh Stockfish over a pipe with blocking reads.
void BM_RawStockfishRoundTrip(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        QProcess engine;
        engine.start(BRISOLT_STOCKFISH, {});
        engine.waitForStarted();
        engine.write("uci\nisready\n");
        std::string seen;
        while (seen.find("readyok") == std::string::npos && engine.waitForReadyRead(5000))
            seen += engine.readAll().toStdString();
        state.ResumeTiming();
        engine.write("ucinewgame\nposition fen " + QByteArray(startFen) +
                     " 0 1 moves e2e4\ngo movetime 2000 depth 6\n");
        seen.clear();
        while (seen.find("bestmove") == std::string::npos && engine.waitForReadyRead(5000))
            seen += engine.readAll().toStdString();
        state.PauseTiming();
        engine.write("quit\n");
        engine.waitForFinished();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RawStockfishRoundTrip)->Unit(benchmark::kMillisecond)->Iterations(20);

// One poll's reading and parsing of a typical answer.
void BM_ReadAndParseOutput(benchmark::State& state) {
    const std::vector<std::string> pieces = {"\r\n", "Black(12): Nxf6\r\n", "0-1 {Black mates}\n"};
    for (auto _ : state) {
        size_t next = 0;
        const std::string output = strReadEngineOutput(
            [&] { return next < pieces.size() ? pieces[next++] : std::string(); });
        benchmark::DoNotOptimize(parseEngineOutput(output, "Black"));
    }
}
BENCHMARK(BM_ReadAndParseOutput);

// The translation of one trainee move and one engine answer in the middle game.
void BM_TranslateMoveAndAnswer(benchmark::State& state) {
    for (auto _ : state) {
        CUciTranslator translator;
        translator.command(
            "setboard r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq -");
        translator.command("O-O");
        translator.EngineMoved("f6e4");
        benchmark::DoNotOptimize(translator.takeLinesForCaller());
        benchmark::DoNotOptimize(translator.takeRequests());
    }
}
BENCHMARK(BM_TranslateMoveAndAnswer);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
