// The checks a workbook file passes before any of its content is used: the three tables are
// there as ordinary tables, and nothing in the file could run when the program reads or writes.
#include "model/CError.h"
#include "model/Utilities.h"
#include "workbook/CWorkBook.h"
#include "workbook/SqlConnection.h"
#include "workbook/SqlStatement.h"

#include <algorithm>
#include <cctype>

namespace {

const char* const kSchemaObjects =
    "select type, name, tbl_name, sql from sqlite_master order by type, name";

// A schema name shown to the user: printable characters only, at most 60 of them.
std::string shown(const std::string& name) {
    std::string clean;
    for (unsigned char c : name) {
        if (clean.size() >= 60) return clean + "...";
        clean += std::isprint(c) != 0 ? static_cast<char>(c) : '?';
    }
    return clean;
}

} // namespace

void CWorkBook::CheckWorkbookSchema() {
    const std::vector<std::string> wanted = {"WorkBook", "GameTree", "GameNode"};
    std::vector<bool> found(wanted.size(), false);
    std::string runnable;
    std::string virtualTables;
    SqlStatementScope objects(Connection().prepared(kSchemaObjects));
    while (objects->step()) {
        const std::string type = objects->text(0);
        const std::string name = objects->text(1);
        if (type == "trigger" || type == "view") {
            // Triggers and views would run statements of the file's author whenever the program
            // reads or writes: the program never runs them.
            runnable += (runnable.empty() ? "" : ", ") + type + " " + shown(name) +
                        (type == "trigger" ? " on " + shown(objects->text(2)) : "");
            continue;
        }
        if (type != "table") continue;
        for (size_t i = 0; i < wanted.size(); ++i) {
            if (strLowered(name) != strLowered(wanted[i])) continue;
            if (strLowered(objects->text(3)).rfind("create virtual", 0) == 0) {
                virtualTables += (virtualTables.empty() ? "" : ", ") + wanted[i];
            } else {
                found[i] = true;
            }
        }
    }
    if (!runnable.empty())
        RaiseError("CWorkBook",
                   "The workbook holds SQL code that Brisolt never runs (" + runnable +
                       "); it was not opened. Remove them with an SQLite tool if you trust the "
                       "file: " +
                       m_strFileName);
    if (!virtualTables.empty())
        RaiseError("CWorkBook",
                   "Not a workbook (" + virtualTables + " is a virtual table): " + m_strFileName);
    std::string missing;
    for (size_t i = 0; i < wanted.size(); ++i)
        if (!found[i]) missing += (missing.empty() ? "" : ", ") + wanted[i];
    if (!missing.empty())
        RaiseError("CWorkBook", "Not a workbook (missing table " + missing + "): " + m_strFileName);
}
