#pragma once

// Shared by the workbook and PGN benchmarks: the generated workbooks and the raw-SQL limit
// measured with the sqlite3 shell on the same file.
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/Perft.h"
#include "game/PositionConstructors.h"
#include "workbook/CWorkBook.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sqlite3.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace bench {

inline std::string DataDir() {
    std::filesystem::create_directories(BRISOLT_BENCH_DATA);
    return BRISOLT_BENCH_DATA;
}

inline void Exec(sqlite3* db, const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        std::string text = message ? message : "error";
        sqlite3_free(message);
        throw std::runtime_error(text);
    }
}

// A random training game: a test position after a few random plies, then a main line and one
// or two variations, 10 to 20 nodes in all.
inline std::shared_ptr<CGameTree> RandomGame(std::mt19937& random) {
    auto pick = [&](const std::shared_ptr<CPosition>& from) -> std::shared_ptr<CPosition> {
        auto moves = arrGetLegalMoves(from);
        if (moves.empty()) return nullptr;
        return moves[std::uniform_int_distribution<size_t>(0, moves.size() - 1)(random)].position;
    };
    for (;;) {
        auto position = objNewStartPosition();
        int opening = std::uniform_int_distribution<int>(4, 12)(random);
        for (int i = 0; i < opening && position; ++i)
            position = pick(position);
        if (!position) continue;
        auto root = position->objClone();
        root->strMoveText("...");
        auto tree = std::make_shared<CGameTree>();
        GameNodeList next;
        tree->Add(root, next);
        int target = std::uniform_int_distribution<int>(10, 20)(random);
        // Main line first, then variations from random nodes until the size is reached.
        while (tree->Count() < target) {
            auto from = tree->Item(std::uniform_int_distribution<int>(1, tree->Count())(random));
            if (tree->Count() == 1 || tree->Count() < target / 2) from = tree->Item(tree->Count());
            tree->objCurrentNode(from);
            auto moved = pick(from->objPosition());
            if (!moved) break;
            tree->Add(moved, next);
        }
        if (tree->Count() >= 10) {
            tree->objMoveFirst(next);
            return tree;
        }
    }
}

// The SQL literal of a text, for scripts run through the sqlite3 shell: in single quotes with
// every ' doubled.
inline std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') quoted += '\'';
        quoted += c;
    }
    return quoted + "'";
}

// Writes a workbook of the given number of games of 10 to 20 nodes with varied statistics at
// the path (replacing it): a few hundred random games saved through the workbook, then copied
// over and over by SQL inside one transaction. A million games take about a minute.
inline void MakeWorkbook(const std::string& path, int games, unsigned seed = 2026) {
    const std::string templates = path + ".templates";
    std::filesystem::remove(templates);
    const int kinds = 300;
    {
        CWorkBook workbook;
        workbook.strOpenWorkBook(templates);
        std::mt19937 random(seed);
        workbook.BeginBatch();
        for (int i = 0; i < kinds; ++i)
            workbook.lngSaveGame(RandomGame(random), 0, "Exercise " + std::to_string(i + 1),
                                 "p. " + std::to_string(i / 4 + 1), std::to_string(i + 1));
        workbook.CommitBatch();
    }
    const std::string partial = path + ".part";
    std::filesystem::remove(partial);
    {
        CWorkBook workbook;
        workbook.strOpenWorkBook(partial);
    }
    sqlite3* db = nullptr;
    sqlite3_open(partial.c_str(), &db);
    Exec(db, "pragma journal_mode=off; pragma synchronous=off");
    Exec(db, "attach " + Quote(templates) + " as tpl");
    Exec(db, "begin");
    Exec(db, "with recursive n(i) as (select 1 union all select i+1 from n where i<" +
                 std::to_string(games) +
                 ") insert into GameTree select i, 'Exercise '||i, 'p. '||(i/4+1), ''||i, "
                 "h, min(h, s), e, case when e>0 then 0 else min(h, s) % 3 end from (select i, "
                 "abs(random()) % 8 as h, abs(random()) % 6 as s, abs(random()) % 3 as e "
                 "from n)");
    Exec(db, "insert into GameNode (GameTreeID,NodeKey,NodeParentKey,WhiteToMove,Diagram,"
             "MoveText,MoveNumber,EnPassantFile,WhiteOO,WhiteOOO,BlackOO,BlackOOO) select g.ID, "
             "n.NodeKey,n.NodeParentKey,n.WhiteToMove,n.Diagram,n.MoveText,n.MoveNumber,"
             "n.EnPassantFile,n.WhiteOO,n.WhiteOOO,n.BlackOO,n.BlackOOO from main.GameTree g "
             "join tpl.GameNode n on n.GameTreeID = ((g.ID - 1) % " +
                 std::to_string(kinds) + ") + 1 order by g.ID, n.ID");
    Exec(db, "commit");
    Exec(db, "detach tpl");
    sqlite3_close(db);
    std::filesystem::remove(templates);
    std::filesystem::rename(partial, path);
}

// A workbook of the given number of games (see MakeWorkbook), made once in the benchmark data
// folder.
inline std::string GeneratedWorkbook(int games) {
    std::string path = DataDir() + "/games-" + std::to_string(games) + ".brl";
    if (!std::filesystem::exists(path)) MakeWorkbook(path, games);
    return path;
}

// A copy of a generated workbook that a benchmark may change.
inline std::string WorkingCopy(const std::string& source, const std::string& name) {
    std::string copy = DataDir() + "/" + name;
    std::filesystem::copy_file(source, copy, std::filesystem::copy_options::overwrite_existing);
    return copy;
}

inline double Seconds(const std::string& command) {
    auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Microseconds per round of the statements run through the sqlite3 shell on the file: the
// shell reads a script of many rounds, and the time of an empty script is taken off.
inline double RawMicros(const std::string& file, const std::vector<std::string>& rounds) {
    if (std::system("command -v sqlite3 >/dev/null 2>&1") != 0) return 0;
    const std::string script = DataDir() + "/raw.sql";
    const std::string empty = DataDir() + "/empty.sql";
    {
        std::ofstream out(script);
        out << ".output /dev/null\n";
        for (const std::string& round : rounds)
            out << round << "\n";
        std::ofstream none(empty);
        none << ".output /dev/null\nselect 1;\n";
    }
    const std::string shell = "sqlite3 '" + file + "' < ";
    double base = Seconds(shell + empty);
    base = std::min(base, Seconds(shell + empty));
    double full = Seconds(shell + script);
    return std::max(0.0, full - base) * 1e6 / static_cast<double>(rounds.size());
}

// The resident memory of this process in kilobytes.
inline long ResidentKb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

} // namespace bench
