#pragma once

#include "board/cntrlChessGui.h"
#include "editor/CEditorPrompts.h"
#include "editor/frmGameEditor.h"
#include "game/CGameNode.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "pgn/PgnImport.h"
#include "tests/workbook/RawDatabase.h"
#include "tests/workbook/SampleGames.h"
#include "tests/workbook/TempFolder.h"
#include "workbook/CWorkBook.h"

#include <QStringList>
#include <deque>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

// Answers the windows' questions from a script and records everything they said.
class ScriptedPrompts : public CEditorPrompts {
public:
    bool isYes(QWidget*, const QString& text) override {
        questions << text;
        const bool answer = !answers.empty() && answers.front();
        if (!answers.empty()) answers.pop_front();
        return answer;
    }
    void ShowError(QWidget*, const QString& text) override { errors << text; }
    void ShowInformation(QWidget*, const QString&, const QString& text,
                         const QStringList& more) override {
        notices << text;
        details = more;
    }
    QString strAskFile(QWidget*, const QString&, const QString& filter, bool,
                       const QString& folder) override {
        filters << filter;
        folders << folder;
        return file;
    }
    bool isAskText(QWidget*, const QString&, const QString&, QString& text) override {
        text = answerText;
        return !answerText.isEmpty();
    }

    std::deque<bool> answers;
    QString file;
    QString answerText;
    QStringList questions;
    QStringList errors;
    QStringList notices;
    QStringList details;
    QStringList filters; // of the file dialogs, in order
    QStringList folders; // where the file dialogs started, in order
};

// A new workbook file in a temporary folder.
struct TempWorkbook {
    TempWorkbook() : workbook(std::make_shared<CWorkBook>()) {
        workbook->strOpenWorkBook(folder.file("games.brl"));
    }
    // Changes the file as another program does, behind the workbook's back.
    void exec(const std::string& sql) const { RawDatabase(folder.file("games.brl")).exec(sql); }
    TempFolder folder;
    std::shared_ptr<CWorkBook> workbook;
};

// A new workbook and scripted answers to the windows' questions: what the editor and the games
// window tests start from.
struct EditorWindows {
    TempWorkbook book;
    std::shared_ptr<ScriptedPrompts> prompts = std::make_shared<ScriptedPrompts>();
};

// One exercise as PGN from its test position.
inline std::string PgnGame(const std::string& fen, const std::string& moves,
                           const std::string& page = "", const std::string& diagram = "") {
    return "[Event \"exercise\"]\n[SetUp \"1\"]\n[FEN \"" + fen + "\"]\n" +
           (page.empty() ? "" : "[PageRef \"" + page + "\"]\n") +
           (diagram.empty() ? "" : "[DiagramRef \"" + diagram + "\"]\n") + "\n" + moves + " *\n\n";
}

inline const char* const kExercise = "7k/p7/5K2/8/8/8/8/6R1 w - - 0 1";

// Enters 1.Kf7 Kh7 (1...a6 2.Rh1#) 2.Rh1# from kExercise, set up and played as a user does.
inline void EnterGame(frmGameEditor& editor) {
    cntrlChessGui* board = editor.objBoard();
    board->SetFen(kExercise);
    board->cmdApplySetup_Click();
    for (const char* move : {"Kf7", "Kh7", "Rh1#"})
        board->MovePgn(move, true, true);
    board->cmdNavigation_Click(2);
    board->cmdNavigation_Click(2);
    for (const char* move : {"a6", "Rh1#"})
        board->MovePgn(move, true, true);
}

// Imports the PGN games into the workbook; returns their identifiers.
inline std::vector<int32_t> Import(CWorkBook& workbook, const std::string& pgn) {
    std::istringstream input(pgn);
    return ImportPgn(workbook, input).arrlngGameIDs;
}

// The key of the node reached by the moves from the root ("<no move>" when there is none).
inline std::string KeyOf(const CGameTree& tree, const std::vector<std::string>& path) {
    std::string key = CGameNode::strINITIAL_KEY();
    for (const std::string& move : path) {
        std::string found;
        for (const std::string& child : tree.Item(key)->childrenKeys())
            if (tree.Item(child)->objPosition()->strMoveText() == move) found = child;
        if (found.empty()) return "<no " + move + ">";
        key = found;
    }
    return key;
}

// The move texts of the children of the node reached by the moves from the root.
inline std::vector<std::string> Replies(const CGameTree& tree,
                                        const std::vector<std::string>& path) {
    const std::string key = KeyOf(tree, path);
    if (!tree.isExists(key)) return {key};
    std::vector<std::string> texts;
    for (const std::string& child : tree.Item(key)->childrenKeys())
        texts.push_back(tree.Item(child)->objPosition()->strMoveText());
    return texts;
}
