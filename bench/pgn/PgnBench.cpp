// PGN import of 10,000 games (10 to 20 nodes each, with variations) into a new workbook, beside
// the same rows inserted by the sqlite3 shell in the same batches (the limit), with the ratio.
#include "BenchSupport.h"
#include "pgn/PgnExport.h"
#include "pgn/PgnImport.h"
#include "pgn/PgnReader.h"

#include <benchmark/benchmark.h>
#include <fstream>
#include <sstream>

namespace {

constexpr int kGames = 10000;

// The PGN text of 10,000 generated games, written once by exporting a generated workbook.
const std::string& GamesPgn() {
    static const std::string text = [] {
        const std::string path = bench::DataDir() + "/games-10000.pgn";
        if (!std::filesystem::exists(path)) {
            CWorkBook workbook;
            workbook.strOpenWorkBook(bench::GeneratedWorkbook(kGames));
            std::ofstream out(path + ".part", std::ios::binary);
            ExportPgn(workbook, out);
            out.close();
            std::filesystem::rename(path + ".part", path);
        }
        std::ifstream in(path, std::ios::binary);
        std::stringstream buffer;
        buffer << in.rdbuf();
        return buffer.str();
    }();
    return text;
}

// The same rows as the import writes, as SQL statements in batches of 500 games.
std::vector<std::string> RawImportRounds(const std::string& imported) {
    sqlite3* db = nullptr;
    sqlite3_open(imported.c_str(), &db);
    std::vector<std::string> rounds;
    std::string batch = "BEGIN TRANSACTION;";
    sqlite3_stmt* games = nullptr;
    sqlite3_prepare_v2(db,
                       "select quote(Description),quote(XRefPage),quote(XRefDiagram),ID from "
                       "GameTree order by ID",
                       -1, &games, nullptr);
    sqlite3_stmt* nodes = nullptr;
    sqlite3_prepare_v2(db,
                       "select quote(NodeKey),quote(NodeParentKey),WhiteToMove,quote(Diagram),"
                       "quote(MoveText),MoveNumber,EnPassantFile,WhiteOO,WhiteOOO,BlackOO,"
                       "BlackOOO from GameNode where GameTreeID=? order by ID",
                       -1, &nodes, nullptr);
    auto text = [](sqlite3_stmt* s, int c) {
        return std::string(reinterpret_cast<const char*>(sqlite3_column_text(s, c)));
    };
    int count = 0;
    while (sqlite3_step(games) == SQLITE_ROW) {
        batch += "insert into GameTree (ID,Description,XRefPage,XRefDiagram,Hits,Solve,"
                 "ErrorStreak,SolveStreak) values(NULL," +
                 text(games, 0) + "," + text(games, 1) + "," + text(games, 2) + ",0,0,0,0);";
        batch += "delete from GameNode where GameTreeID=last_insert_rowid();";
        sqlite3_bind_int(nodes, 1, sqlite3_column_int(games, 3));
        while (sqlite3_step(nodes) == SQLITE_ROW) {
            batch += "insert into GameNode (ID,GameTreeID,NodeKey,NodeParentKey,WhiteToMove,"
                     "Diagram,MoveText,MoveNumber,EnPassantFile,WhiteOO,WhiteOOO,BlackOO,BlackOOO)"
                     " values (NULL,(select max(ID) from GameTree)";
            for (int c = 0; c < 11; ++c)
                batch += "," + text(nodes, c);
            batch += ");";
        }
        sqlite3_reset(nodes);
        if (++count % 500 == 0) {
            rounds.push_back(batch + "COMMIT TRANSACTION;");
            batch = "BEGIN TRANSACTION;";
        }
    }
    rounds.push_back(batch + "COMMIT TRANSACTION;");
    sqlite3_finalize(games);
    sqlite3_finalize(nodes);
    sqlite3_close(db);
    return rounds;
}

// The same games in three forms: 0 moves and the start position only (SetUp and FEN, no other
// tags, comments or glyphs), 1 as exported (ten tags a game), 2 tags and a glyph and a comment
// after every numbered move.
const std::string& GamesPgnWith(int64_t annotations) {
    static const std::string bare = [] {
        std::istringstream lines(GamesPgn());
        std::string text;
        for (std::string line; std::getline(lines, line);)
            if (line.empty() || line[0] != '[' || line.rfind("[FEN ", 0) == 0 ||
                line.rfind("[SetUp ", 0) == 0)
                text += line + "\n";
        return text;
    }();
    static const std::string annotated = [] {
        std::istringstream lines(GamesPgn());
        std::string text;
        for (std::string line; std::getline(lines, line);) {
            if (line.empty() || line[0] == '[') {
                text += line + "\n";
                continue;
            }
            std::istringstream tokens(line);
            bool numbered = false;
            for (std::string token; tokens >> token;) {
                text += token;
                if (numbered) text += " $1 {a note on the move}";
                numbered = token.back() == '.';
                text += ' ';
            }
            text += '\n';
        }
        return text;
    }();
    return annotations == 0 ? bare : annotations == 1 ? GamesPgn() : annotated;
}

// Arg: the form of the games (see GamesPgnWith).
void BM_ImportPgn(benchmark::State& state) {
    const std::string& pgn = GamesPgnWith(state.range(0));
    const std::string target = bench::DataDir() + "/import.brl";
    double seconds = 0;
    int imported = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(target);
        CWorkBook workbook;
        workbook.strOpenWorkBook(target);
        std::istringstream input(pgn);
        state.ResumeTiming();
        auto start = std::chrono::steady_clock::now();
        PgnImportResult result = ImportPgn(workbook, input);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        imported = result.intImported;
        if (result.intSkipped != 0) state.SkipWithError("games were skipped");
    }
    double perRun = seconds / static_cast<double>(state.iterations());
    state.counters["games"] = imported;
    state.counters["games_per_s"] = imported / perRun;
    // The limit: the same rows through the shell into an empty workbook, same batches.
    const std::string raw = bench::DataDir() + "/import-raw.brl";
    std::filesystem::remove(raw);
    {
        CWorkBook workbook;
        workbook.strOpenWorkBook(raw);
    }
    auto rounds = RawImportRounds(target);
    double rawSeconds = bench::RawMicros(raw, rounds) * static_cast<double>(rounds.size()) / 1e6;
    state.counters["raw_s"] = rawSeconds;
    state.counters["ours_s"] = perRun;
    if (rawSeconds > 0) state.counters["ratio"] = perRun / rawSeconds;
}
BENCHMARK(BM_ImportPgn)->Arg(0)->Arg(1)->Arg(2)->Iterations(3)->Unit(benchmark::kMillisecond);

// Reading alone: the tokenizer over the same text, without moves or the workbook.
void BM_TokenizePgn(benchmark::State& state) {
    const std::string& pgn = GamesPgn();
    for (auto _ : state) {
        std::istringstream input(pgn);
        PgnReader reader(input);
        PgnVisitor visitor;
        while (reader.readGame(visitor)) {
        }
        benchmark::DoNotOptimize(reader.gamesRead());
    }
    state.counters["games_per_s"] = benchmark::Counter(
        static_cast<double>(kGames), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_TokenizePgn)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
