// Speed of the rules: perft through the position's own move path on the published positions,
// and reading and writing move texts.
#include "game/CPosition.h"
#include "game/Fen.h"
#include "game/Perft.h"

#include <benchmark/benchmark.h>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct PerftCase {
    std::string name, fen;
    int depth = 0;
    std::uint64_t nodes = 0;
};

// The deepest count of each case that stays under the node budget.
std::vector<PerftCase> readCases(std::uint64_t budget) {
    std::vector<PerftCase> cases;
    std::ifstream file(BRISOLT_PERFT_CASES);
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        PerftCase c;
        std::getline(fields, c.name, '|');
        std::getline(fields, c.fen, '|');
        c.name = c.name.substr(0, c.name.find_last_not_of(' ') + 1);
        c.fen = c.fen.substr(c.fen.find_first_not_of(' '));
        for (std::string part; fields >> part;) {
            const auto colon = part.find(':');
            const std::uint64_t nodes = std::stoull(part.substr(colon + 1));
            if (nodes <= budget) {
                c.depth = std::stoi(part.substr(0, colon));
                c.nodes = nodes;
            }
        }
        if (c.depth > 0) cases.push_back(c);
    }
    return cases;
}

void perft(benchmark::State& state, const PerftCase& c) {
    const auto position = objReadFen(c.fen);
    for (auto _ : state) {
        const std::uint64_t nodes = lngPerft(position, c.depth);
        if (nodes != c.nodes) {
            state.SkipWithError(("wrong count " + std::to_string(nodes)).c_str());
            break;
        }
    }
    state.counters["nodes/s"] =
        benchmark::Counter(double(c.nodes), benchmark::Counter::kIsIterationInvariantRate);
    state.SetLabel("depth " + std::to_string(c.depth) + ", " + std::to_string(c.nodes) + " leaves");
}

const char* const opening[] = {"e4",  "e5",  "Nf3", "Nc6", "Bb5", "a6",  "Ba4",
                               "Nf6", "O-O", "Be7", "Re1", "b5",  "Bb3", "d6",
                               "c3",  "O-O", "h3",  "Nb8", "d4",  "Nbd7"};

// Reads a 20-move opening from its texts, as importing a game does.
void readMoveTexts(benchmark::State& state) {
    const auto start = objReadFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -");
    for (auto _ : state) {
        auto position = start;
        for (const char* text : opening)
            position = position->objProcessMove(position, text);
        benchmark::DoNotOptimize(position);
    }
    state.SetItemsProcessed(state.iterations() * std::size(opening));
}

// Lists the legal moves of a busy middlegame with their texts, as the board does for a move list.
void listMovesWithTexts(benchmark::State& state) {
    const auto position =
        objReadFen("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -");
    for (auto _ : state) {
        std::size_t length = 0;
        for (const auto& legal : arrGetLegalMoves(position))
            length += strMoveTextOf(*position, legal.move).size();
        benchmark::DoNotOptimize(length);
    }
    state.SetItemsProcessed(state.iterations() * 48);
}

const bool registered = [] {
    for (const auto& c : readCases(5000000))
        benchmark::RegisterBenchmark(("perft/" + c.name).c_str(), perft, c)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(0.5);
    benchmark::RegisterBenchmark("read_move_texts", readMoveTexts);
    benchmark::RegisterBenchmark("list_moves_with_texts", listMovesWithTexts);
    return true;
}();

} // namespace

BENCHMARK_MAIN();
