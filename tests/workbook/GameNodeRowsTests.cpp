// A game's node rows go into the workbook several to a statement. Whatever the number of nodes,
// each row holds its own node's values in tree order, and a row refused part way through a game
// leaves nothing of the game.
#include "RawDatabase.h"
#include "SampleGames.h"
#include "TempFolder.h"
#include "model/CDiagram.h"
#include "model/CError.h"
#include "model/CGameStatus.h"
#include "workbook/CWorkBook.h"

#include <gtest/gtest.h>

namespace {

// A game of the given number of moves: the knights go out and back again.
std::shared_ptr<CGameTree> KnightsGame(int moves) {
    static const char* const cycle[] = {"Nf3", "Nf6", "Ng1", "Ng8"};
    std::string line;
    for (int i = 0; i < moves; ++i)
        line += std::string(cycle[i % 4]) + " ";
    return Book({line}).tree;
}

// The stored rows of a game in the order they were written.
std::vector<std::vector<std::string>> StoredRows(RawDatabase& raw, int64_t id) {
    return raw.rows("select NodeKey, NodeParentKey, WhiteToMove, Diagram, MoveText, MoveNumber, "
                    "EnPassantFile, WhiteOO, WhiteOOO, BlackOO, BlackOOO from GameNode where "
                    "GameTreeID = " +
                    std::to_string(id) + " order by ID");
}

// The rows the tree's nodes must give, in tree order.
std::vector<std::vector<std::string>> ExpectedRows(const CGameTree& tree) {
    std::vector<std::vector<std::string>> rows;
    for (int n = 1; n <= tree.Count(); ++n) {
        const auto& node = tree.Item(n);
        const CPosition& p = *node->objPosition();
        auto flag = [](bool kept) { return std::string(kept ? "1" : "0"); };
        rows.push_back({node->strKey(), node->strParentKey(), flag(p.isWhiteToMove()),
                        p.objDiagram()->strToString(), p.strMoveText(),
                        std::to_string(p.intMoveNumber()), std::to_string(p.intEnPassantFile()),
                        flag(!p.isKCastleForfeited(0)), flag(!p.isQCastleForfeited(0)),
                        flag(!p.isKCastleForfeited(1)), flag(!p.isQCastleForfeited(1))});
    }
    return rows;
}

} // namespace

TEST(GameNodeRows, EveryRowHoldsItsOwnNodeWhateverTheNumberOfNodes) {
    TempFolder folder;
    const std::string path = folder.file("rows.brl");
    CWorkBook workbook;
    workbook.strOpenWorkBook(path);
    RawDatabase raw(path);
    // Around one and two statements' worth of rows, and a single row; a set-up position with
    // castling rights and an en-passant file, whose lines hold castling, an en-passant capture and
    // a promotion; double steps on the edge files; a mate.
    std::vector<std::shared_ptr<CGameTree>> trees;
    for (int moves : {0, 14, 15, 16, 31, 32, 40})
        trees.push_back(KnightsGame(moves));
    trees.push_back(Book({"exd6 O-O bxa8=Q Rxa8 O-O", "O-O Kd7", "Rxa8+ Kd7 Rxh8"},
                         "r3k2r/1P4pp/8/3pP3/8/8/6PP/R3K2R w KQkq d6 0 20")
                        .tree);
    trees.push_back(Book({"h4 a5"}).tree);
    trees.push_back(Book({"Ra8#"}, "6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1").tree);
    // Quotes, a statement terminator and a NUL: bound values never become SQL.
    const std::string description("Robert'); drop table GameNode; --\0x", 35);
    for (const auto& tree : trees) {
        SCOPED_TRACE("nodes " + std::to_string(tree->Count()));
        const int64_t id = workbook.lngSaveGame(tree, 0, description, "p. 'a'", "#7");
        EXPECT_EQ(tree->Item(1)->strParentKey(), ""); // the root's parent key is cleared in memory
        EXPECT_EQ(StoredRows(raw, id), ExpectedRows(*tree));
        std::string d, page, diagram;
        const auto loaded = workbook.objLoadGame(id, d, page, diagram);
        ASSERT_TRUE(loaded);
        EXPECT_EQ(d + "|" + page + "|" + diagram, "Robert'); drop table GameNode; --x|p. 'a'|#7");
        EXPECT_EQ(NodeLines(*loaded), NodeLines(*tree));
        // A finished game is read back with the side to move its stored flag gives.
        for (int n = 1; n <= tree->Count(); ++n)
            EXPECT_EQ(loaded->Item(n)->objPosition()->objStatus(),
                      tree->Item(n)->objPosition()->isWhiteToMove()
                          ? CGameStatus::objWHITE_TO_MOVE()
                          : CGameStatus::objBLACK_TO_MOVE());
        EXPECT_EQ(loaded->objCurrentNode()->strKey(), "InitialKey");
    }
    // Values are bound with the storage classes a file written by literal SQL has.
    workbook.SaveWorkbookProperties("it's");
    EXPECT_EQ(raw.value("select group_concat(distinct typeof(ID)||typeof(Description)||"
                        "typeof(XRefPage)||typeof(XRefDiagram)||typeof(Hits)||typeof(Solve)||"
                        "typeof(ErrorStreak)||typeof(SolveStreak)) from GameTree"),
              "integertexttexttextintegerintegerintegerinteger");
    EXPECT_EQ(raw.value("select group_concat(distinct typeof(GameTreeID)||typeof(NodeKey)||"
                        "typeof(NodeParentKey)||typeof(WhiteToMove)||typeof(Diagram)||"
                        "typeof(MoveText)||typeof(MoveNumber)||typeof(EnPassantFile)||"
                        "typeof(WhiteOO)||typeof(WhiteOOO)||typeof(BlackOO)||typeof(BlackOOO)) "
                        "from GameNode"),
              "integertexttextintegertexttextintegerintegerintegerintegerintegerinteger");
    EXPECT_EQ(raw.value("select FieldValue||typeof(FieldValue) from WorkBook"), "it'stext");
}

TEST(GameNodeRows, ARowRefusedInALaterStatementLeavesNothingOfTheGame) {
    TempFolder folder;
    const std::string path = folder.file("refused.brl");
    const auto game = KnightsGame(40);
    // The twentieth node is written by the game's second insert statement.
    const std::string refusedKey = game->Item(20)->strKey();
    {
        CWorkBook setup;
        setup.strOpenWorkBook(path);
        RawDatabase raw(path);
        raw.exec("insert into GameNode (GameTreeID, NodeKey) values (999, '" + refusedKey +
                 "'); create unique index OneOfThatKey on GameNode (NodeKey) where NodeKey = '" +
                 refusedKey + "'");
    }
    CWorkBook workbook;
    workbook.strOpenWorkBook(path);
    RawDatabase raw(path);
    // Alone, over a game, and inside a batch as an import saves: the games around it stay whole.
    EXPECT_THROW(workbook.lngSaveGame(game, 0, "refused", "", ""), CError);
    workbook.BeginBatch();
    const int64_t before = workbook.lngSaveGame(KnightsGame(3), 0, "before", "", "");
    EXPECT_THROW(workbook.lngSaveGame(game, 0, "refused", "", ""), CError);
    EXPECT_THROW(workbook.lngSaveGame(game, before, "refused over before", "", ""), CError);
    // Two statements' worth of rows, none of them with the refused key.
    const int64_t after = workbook.lngSaveGame(KnightsGame(18), 0, "after", "", "");
    EXPECT_TRUE(workbook.isInBatch());
    workbook.CommitBatch();

    EXPECT_EQ(raw.value("select group_concat(GameTreeID || ':' || n, ' ') from (select GameTreeID, "
                        "count(*) n from GameNode group by GameTreeID order by GameTreeID)"),
              std::to_string(before) + ":4 " + std::to_string(after) + ":19 999:1");
    EXPECT_EQ(raw.value("select group_concat(Description, ' ') from GameTree"), "before after");
}
