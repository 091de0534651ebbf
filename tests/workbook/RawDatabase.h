#pragma once

#include <sqlite3.h>
#include <stdexcept>
#include <string>
#include <vector>

// The three tables of a workbook as every version of the program makes them, nothing else.
inline const std::string kWorkbookTables =
    "create table WorkBook (ID INTEGER PRIMARY KEY,FieldName,FieldValue);"
    "create table GameTree (ID INTEGER PRIMARY KEY,Description,XRefPage,XRefDiagram,Hits,Solve,"
    "ErrorStreak,SolveStreak);"
    "create table GameNode (ID INTEGER PRIMARY KEY,GameTreeID,NodeKey,NodeParentKey,WhiteToMove,"
    "Diagram,MoveText,MoveNumber,EnPassantFile,WhiteOO,WhiteOOO,BlackOO,BlackOOO);";

// A direct SQLite connection for looking at or damaging a workbook behind CWorkBook's back.
class RawDatabase {
public:
    explicit RawDatabase(const std::string& path) {
        if (sqlite3_open(path.c_str(), &m_db) != SQLITE_OK)
            throw std::runtime_error("cannot open " + path);
    }
    ~RawDatabase() { sqlite3_close(m_db); }
    RawDatabase(const RawDatabase&) = delete;
    RawDatabase& operator=(const RawDatabase&) = delete;

    // Runs statements; throws with SQLite's message on failure.
    void exec(const std::string& sql) {
        char* message = nullptr;
        if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
            std::string text = message ? message : "error";
            sqlite3_free(message);
            throw std::runtime_error(text + " in: " + sql);
        }
    }

    // The rows of a query, each value as text ("NULL" for SQL NULL).
    std::vector<std::vector<std::string>> rows(const std::string& sql) {
        std::vector<std::vector<std::string>> result;
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(m_db));
        while (sqlite3_step(statement) == SQLITE_ROW) {
            std::vector<std::string> row;
            for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                const unsigned char* text = sqlite3_column_text(statement, c);
                row.push_back(text ? reinterpret_cast<const char*>(text) : "NULL");
            }
            result.push_back(row);
        }
        sqlite3_finalize(statement);
        return result;
    }

    // The single value of a query.
    std::string value(const std::string& sql) {
        auto result = rows(sql);
        return result.empty() ? "" : result[0][0];
    }

private:
    sqlite3* m_db = nullptr;
};

// The statements that make a workbook with two games of two nodes each without the program.
inline const std::string kWorkbookWithTwoGames =
    kWorkbookTables +
    "insert into WorkBook values (1,'Title','Shared book');"
    "insert into GameTree values (1,'one','p. 1','1',0,0,0,0);"
    "insert into GameTree values (2,'two','p. 2','2',0,0,0,0);"
    "insert into GameNode select NULL,g,'InitialKey','',1,"
    "'rnbqkbnrppppppppeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeePPPPPPPPRNBQKBNR','...',0,-1,1,1,1,1 "
    "from (select 1 as g union all select 2);"
    "insert into GameNode select NULL,g,'B1e4','InitialKey',0,"
    "'rnbqkbnrppppppppeeeeeeeeeeeeeeeeeeeePeeeeeeeeeeePPPPePPPRNBQKBNR','e4',1,4,1,1,1,1 "
    "from (select 1 as g union all select 2);";
