#include "tests/app/TestWorkbook.h"

#include "pgn/PgnImport.h"
#include "tests/workbook/RawDatabase.h"
#include "workbook/CWorkBook.h"

#include <sstream>
#include <stdexcept>

namespace testwb {

const char* const fourGamesPgn = R"PGN(
[Description "Punish the early queen defence"]
[PageRef "p.12"]
[DiagramRef "#1"]

1. e4 e5 2. Qh5 Nc6 3. Bc4 Nf6 4. Qxf7# *

[Description "Black mates on the back rank"]
[SetUp "1"]
[FEN "r5k1/5ppp/8/8/8/8/5PPP/6K1 b - - 0 1"]

1... Ra1# *

[Description "White mates on the back rank"]
[SetUp "1"]
[FEN "6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1"]

1. Ra8# *

[Description "The fool's mate"]
[SetUp "1"]
[FEN "rnbqkbnr/pppp1ppp/8/4p3/6P1/5P2/PPPPP2P/RNBQKBNR b KQkq g3 0 2"]

2... Qh4# *
)PGN";

std::vector<int32_t> Build(const std::string& file, const std::string& pgn) {
    CWorkBook workbook;
    workbook.CreateEmptyWorkbook(file);
    workbook.strOpenWorkBook(file);
    std::istringstream input(pgn);
    const PgnImportResult result = ImportPgn(workbook, input);
    if (result.intSkipped != 0) throw std::runtime_error("test PGN: a game was skipped");
    return result.arrlngGameIDs;
}

Stats Read(const std::string& file, int32_t id) {
    const auto rows =
        RawDatabase(file).rows("select Hits, Solve from GameTree where ID=" + std::to_string(id));
    if (rows.empty()) return {};
    return {std::stoi(rows[0][0]), std::stoi(rows[0][1])};
}

std::vector<std::string> History(const std::string& file) {
    std::vector<std::string> history;
    for (const auto& row : RawDatabase(file).rows(
             "select GameTreeID, Solved, WrongMoves, SolutionShown, Seconds >= 0 "
             "from TrainingHistory order by ID"))
        history.push_back(row[0] + " " + row[1] + " " + row[2] + " " + row[3] + " " + row[4]);
    return history;
}

} // namespace testwb
