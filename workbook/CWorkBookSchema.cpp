// The checks a workbook file passes before any of its content is used: the three tables are
// there as ordinary tables, and nothing in the file could run when the program reads or writes.
#include "model/CError.h"
#include "model/Utilities.h"
#include "workbook/CWorkBook.h"
#include "workbook/SqlConnection.h"
#include "workbook/SqlStatement.h"

#include <algorithm>
#include <cctype>
#include <tuple>

namespace {

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

bool CWorkBook::CheckWorkbookSchema() {
    const std::vector<std::string> wanted = {"WorkBook", "GameTree", "GameNode"};
    std::vector<bool> found(wanted.size(), false);
    std::vector<bool> isVirtual(wanted.size(), false);
    int indexes = 0;
    // Type, name and how the object is shown, for a message in a fixed order.
    std::vector<std::tuple<std::string, std::string, std::string>> runnable;
    // Every object, in no order: a filter or an ORDER BY costs SQLite more to plan and run than
    // the scan of the few rows.
    SqlStatementScope objects(Connection().prepared(SqlConnection::kSchemaObjects));
    while (objects->step()) {
        const std::string type = objects->text(0);
        const std::string name = objects->text(1);
        if (type == "trigger" || type == "view") {
            // Triggers and views would run statements of the file's author whenever the program
            // reads or writes: the program never runs them.
            runnable.emplace_back(type, name,
                                  type + " " + shown(name) +
                                      (type == "trigger" ? " on " + shown(objects->text(2)) : ""));
            continue;
        }
        const std::string lowered = strLowered(name);
        // The indexes EnsureIndexes makes.
        if (type == "index" && (lowered == "gamenodebygame" || lowered == "gametreetraining"))
            ++indexes;
        if (type != "table") continue;
        for (size_t i = 0; i < wanted.size(); ++i)
            if (lowered == strLowered(wanted[i]))
                (objects->integer(3) != 0 ? isVirtual : found)[i] = true;
    }
    if (!runnable.empty()) {
        std::sort(runnable.begin(), runnable.end());
        std::string listed;
        for (const auto& object : runnable)
            listed += (listed.empty() ? "" : ", ") + std::get<2>(object);
        RaiseError("CWorkBook",
                   "The workbook holds SQL code that Brisolt never runs (" + listed +
                       "); it was not opened. Remove them with an SQLite tool if you trust the "
                       "file: " +
                       m_strFileName);
    }
    std::string virtualTables;
    std::string missing;
    for (size_t i = 0; i < wanted.size(); ++i) {
        if (isVirtual[i]) virtualTables += (virtualTables.empty() ? "" : ", ") + wanted[i];
        if (!found[i] && !isVirtual[i]) missing += (missing.empty() ? "" : ", ") + wanted[i];
    }
    if (!virtualTables.empty())
        RaiseError("CWorkBook",
                   "Not a workbook (" + virtualTables + " is a virtual table): " + m_strFileName);
    if (!missing.empty())
        RaiseError("CWorkBook", "Not a workbook (missing table " + missing + "): " + m_strFileName);
    return indexes == 2;
}
