#pragma once

// Workbook files as an attacker would make them: real workbooks whose schema carries triggers,
// views or virtual tables that would run the author's SQL when the program reads or writes.
#include "RawDatabase.h"

#include <string>
#include <vector>

struct HostileWorkbook {
    const char* name;
    const char* sql;    // run on a real workbook with two games
    const char* naming; // what the refusal must name
};

// A workbook with two games of two nodes each, made without the program.
inline void WriteWorkbookWithTwoGames(const std::string& path) {
    RawDatabase raw(path);
    raw.exec(
        kWorkbookTables +
        "insert into WorkBook values (1,'Title','Shared book');"
        "insert into GameTree values (1,'one','p. 1','1',0,0,0,0);"
        "insert into GameTree values (2,'two','p. 2','2',0,0,0,0);"
        "insert into GameNode select NULL,g,'InitialKey','',1,"
        "'rnbqkbnrppppppppeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeePPPPPPPPRNBQKBNR','...',0,-1,1,1,1,1 "
        "from (select 1 as g union all select 2);"
        "insert into GameNode select NULL,g,'B1e4','InitialKey',0,"
        "'rnbqkbnrppppppppeeeeeeeeeeeeeeeeeeeePeeeeeeeeeeePPPPePPPRNBQKBNR','e4',1,4,1,1,1,1 "
        "from (select 1 as g union all select 2);");
}

// Triggers that delete, rename, hang and grow; views; a virtual table in place of a workbook
// table.
inline const std::vector<HostileWorkbook>& HostileWorkbooks() {
    static const std::vector<HostileWorkbook> cases = {
        {"trigger that deletes on a result",
         "create trigger Wipe after update on GameTree begin delete from GameNode; "
         "update WorkBook set FieldValue='owned' where FieldName='Title'; end",
         "trigger Wipe on GameTree"},
        {"trigger that hangs on a save",
         "create trigger Hang before insert on GameNode begin select count(*) from GameNode a, "
         "GameNode b, GameNode c, GameNode d, GameNode e, GameNode f, GameNode g, GameNode h; end",
         "trigger Hang on GameNode"},
        {"trigger that grows the file",
         "create table Junk (x); create trigger Grow after update on GameTree begin insert into "
         "Junk select randomblob(100000000) from GameNode a, GameNode b; end",
         "trigger Grow on GameTree"},
        {"trigger on the title",
         "create trigger Title after insert on WorkBook begin delete from GameTree; end",
         "trigger Title on WorkBook"},
        {"trigger on a table of its own",
         "create table Other (x); create trigger Quiet after insert on Other begin delete from "
         "GameTree; end",
         "trigger Quiet on Other"},
        {"view over the games", "create view Everything as select * from GameTree, GameNode",
         "view Everything"},
        {"view and trigger together",
         "create view V as select 1; create trigger T after delete on GameTree begin select 1; "
         "end",
         "trigger T on GameTree, view V"},
    };
    return cases;
}
