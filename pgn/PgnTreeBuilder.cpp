#include "pgn/PgnTreeBuilder.h"

#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/Fen.h"
#include "game/MoveText.h"
#include "game/PositionConstructors.h"
#include "model/CError.h"
#include "model/CGameStatus.h"
#include "model/CMove.h"
#include "model/Utilities.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Control characters have no place in the texts of a PGN file; kept, they would reach terminals
// and make an exported file look like binary data.
bool isControl(char c) {
    const auto code = static_cast<unsigned char>(c);
    return (code < 0x20 && !isBlank(c)) || code == 0x7F;
}

// Comments keep their words; line breaks and runs of blanks become single spaces, control
// characters are dropped.
std::string squeezed(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    bool gap = false;
    for (char c : text) {
        if (isControl(c)) continue;
        if (isBlank(c)) {
            gap = !result.empty();
            continue;
        }
        if (gap) result += ' ';
        gap = false;
        result += c;
    }
    return result;
}

std::string withoutControls(std::string text) {
    text.erase(std::remove_if(text.begin(), text.end(), isControl), text.end());
    return text;
}

// The words of a comment without the commands embedded in it ("[%clk 0:03:00]", "[%eval 0.25]",
// "[%cal Ge2e4]"), which programs and websites write for the clock, the engine and the board.
std::string withoutCommands(const std::string& words) {
    std::string text;
    size_t at = 0;
    for (size_t open; (open = words.find("[%", at)) != std::string::npos;) {
        const size_t close = words.find(']', open);
        if (close == std::string::npos) break;
        text.append(words, at, open - at).append(" ");
        at = close + 1;
    }
    return squeezed(text.append(words, at));
}

// Castling written with zeros, as some programs do, reads as the letter O.
std::string normalisedMove(const std::string& san) {
    if (san.rfind("0-0", 0) != 0) return san;
    std::string text = san;
    for (size_t i = 0; i < text.size() && (text[i] == '0' || text[i] == '-'); ++i)
        if (text[i] == '0') text[i] = 'O';
    return text;
}

// The ways programs write a null move (a pass), which shows a threat in a variation.
bool isNullMove(const std::string& san) {
    return san == "--" || san == "Z0" || san == "0000" || san == "@@@@" || san == "null";
}

// Room for the tags most games have (the seven of the roster and a few more), made at once.
constexpr size_t kUsualTags = 16;

// The highest move number a game may reach: workbooks keep move numbers in 16 bits.
constexpr int kLastMoveNumber = 32767;

// A field of a FEN text counted from 0, the fields being the words between runs of blanks;
// empty when the text has fewer.
std::string_view fenField(std::string_view fen, int index) {
    size_t at = 0;
    for (int field = 0;; ++field) {
        while (at < fen.size() && isBlank(fen[at]))
            ++at;
        const size_t start = at;
        while (at < fen.size() && !isBlank(fen[at]))
            ++at;
        if (field == index || start == at) return fen.substr(start, at - start);
    }
}

// True for a game of Chess960 (Fischer random): named by its Variant tag, or set up with
// castling rights written as rook files.
bool isChess960(const PgnGame& game, std::string_view fen) {
    const std::string variant = strLowered(game.strTag("Variant"));
    if (variant.find("960") != std::string::npos || variant.find("fischer") != std::string::npos)
        return true;
    return fenField(fen, 2).find_first_of("ABCDEFGHabcdefgh") != std::string_view::npos;
}

bool isWin(const CPosition& position) {
    auto code = position.objStatus()->intCode();
    return code == CGameStatus::WhiteWins || code == CGameStatus::BlackWins;
}

} // namespace

std::shared_ptr<CPosition> PgnTreeBuilder::objRootFromFen(const std::string& fen) {
    // The reader keeps the full-move number too.
    std::shared_ptr<CPosition> root = objReadFen(fen);
    // A start position is marked by "..." even when it carries an en-passant file.
    root->strMoveText("...");
    return root;
}

PgnGame PgnTreeBuilder::takeGame() {
    PgnGame game = std::move(m_game);
    m_game = PgnGame();
    return game;
}

void PgnTreeBuilder::beginGame(int gameNumber) {
    m_game = PgnGame();
    m_game.intNumber = gameNumber;
    m_game.arrTags.reserve(kUsualTags);
    m_levels.clear();
    m_firstComment.clear();
    m_resultRead = false;
    m_started = false;
    m_leftOutDepth = 0;
    m_leftOutCount = 0;
    m_firstLeftOut.clear();
}

void PgnTreeBuilder::tag(const std::string& name, const std::string& value) {
    m_game.arrTags.emplace_back(name, withoutControls(value));
}

void PgnTreeBuilder::fail(const std::string& message) {
    // The reason is shown on a terminal: the file's control characters must not reach it.
    if (m_game.strError.empty()) m_game.strError = PgnGame::strPrintable(message);
}

void PgnTreeBuilder::startTree() {
    if (m_started) return;
    m_started = true;
    m_game.objTree = std::make_shared<CGameTree>();
    const std::string fen = m_game.strTag("FEN");
    if (isChess960(m_game, fen)) {
        fail("Chess960 games are not supported");
        return;
    }
    std::shared_ptr<CPosition> root;
    if (!fen.empty()) {
        try {
            root = objRootFromFen(fen);
        } catch (const CError& error) {
            fail("bad FEN \"" + fen + "\": " + error.what());
            return;
        }
    } else {
        root = objNewStartPosition();
    }
    m_levels.assign(1, Level{m_game.objTree->AddOwn(std::move(root)), nullptr, "", {}});
}

void PgnTreeBuilder::beginMoves() {
    startTree();
}

void PgnTreeBuilder::move(const std::string& san) {
    startTree();
    if (!m_game.strError.empty() || m_leftOutDepth > 0) return;
    Level& level = m_levels.back();
    CGameTree& tree = *m_game.objTree;
    const std::shared_ptr<CPosition>& position = level.current->objPosition();
    // The move as the file numbers it, for the reasons a move is refused.
    const auto numbered = [&] {
        return std::to_string(position->intMoveNumber() + (position->isWhiteToMove() ? 1 : 0)) +
               (position->isWhiteToMove() ? ". " : "... ") + san;
    };
    if (isNullMove(san)) {
        if (m_levels.size() == 1) {
            fail("null move in the main line at " + numbered());
            return;
        }
        // The variation is kept up to here; the rest of it, with what it holds, is left out.
        if (m_leftOutCount++ == 0) m_firstLeftOut = numbered();
        m_leftOutDepth = 1;
        return;
    }
    if (!position->objStatus()->isInProgress()) {
        fail("move after the end of the game: " + numbered());
        return;
    }
    const std::string text = normalisedMove(san);
    std::shared_ptr<CPosition> next = objPlay(*position, text);
    if (!next) {
        // Only a refused move is read apart, for the reason given.
        const MoveTextParts parts = objReadMoveText(text);
        if (!parts.isReadable()) {
            fail(parts.strError + " in " + numbered());
            return;
        }
        if (parts.isCapture) {
            std::string plain = text;
            std::erase_if(plain, [](char c) { return c == 'x' || c == ':'; });
            if (objPlay(*position, plain)) {
                fail("capture mark on a move that takes nothing in " + numbered());
                return;
            }
        }
        fail("illegal move " + numbered());
        return;
    }
    if (next->intMoveNumber() > kLastMoveNumber) {
        fail("the game goes beyond move " + std::to_string(kLastMoveNumber));
        return;
    }
    // Store the text the program writes itself, so that training compares like with like.
    std::string stored;
    if (m_start && m_end) {
        stored = position->strGetMoveNotation(CMove(std::move(m_start), std::move(m_end)));
    } else {
        stored = text.find("O-O-O") != std::string::npos ? "O-O-O" : "O-O";
    }
    if (isWin(*next)) stored += "#";
    next->strMoveText(std::move(stored));
    tree.objCurrentNode(level.current);
    // A variation that repeats a move beside it is a line of its own, kept where it was written.
    const bool opensVariation = m_levels.size() > 1 && !level.before;
    level.before = std::move(level.current);
    level.current = tree.AddOwn(std::move(next), opensVariation);
    if (!level.pendingComment.empty() || !level.pendingNags.empty()) {
        NodeAnnotation& marks = annotation(*level.current);
        GameAnnotations::AppendComment(marks.strBefore, level.pendingComment);
        marks.arrNags.insert(marks.arrNags.end(), level.pendingNags.begin(),
                             level.pendingNags.end());
        level.pendingComment.clear();
        level.pendingNags.clear();
    }
}

NodeAnnotation& PgnTreeBuilder::annotation(const CGameNode& node) {
    return m_game.objAnnotations.mapNodes[node.strKey()];
}

std::shared_ptr<CPosition> PgnTreeBuilder::objPlay(const CPosition& position,
                                                   const std::string& text) {
    m_start = nullptr;
    m_end = nullptr;
    try {
        return position.objProcessMove2(nullptr, text, m_start, m_end);
    } catch (const CError&) {
        return nullptr;
    }
}

void PgnTreeBuilder::comment(const std::string& text) {
    if (m_leftOutDepth > 0) return;
    const std::string words = squeezed(text);
    if (m_firstComment.empty() && !m_resultRead) m_firstComment = withoutCommands(words);
    startTree();
    if (!m_game.strError.empty() || words.empty()) return;
    Level& level = m_levels.back();
    if (level.before) {
        GameAnnotations::AppendComment(annotation(*level.current).strAfter, words);
    } else if (m_levels.size() == 1) {
        // Before the first move (or in a game without moves): the game's own comment.
        GameAnnotations::AppendComment(annotation(*level.current).strBefore, words);
    } else {
        GameAnnotations::AppendComment(level.pendingComment, words);
    }
}

void PgnTreeBuilder::nag(int code) {
    startTree();
    if (!m_game.strError.empty() || m_leftOutDepth > 0) return;
    Level& level = m_levels.back();
    if (level.before || m_levels.size() == 1) {
        annotation(*level.current).arrNags.push_back(code);
    } else {
        level.pendingNags.push_back(code);
    }
}

void PgnTreeBuilder::beginVariation() {
    startTree();
    if (!m_game.strError.empty()) return;
    if (m_leftOutDepth > 0) {
        ++m_leftOutDepth;
        return;
    }
    const Level& outer = m_levels.back();
    if (!outer.before) {
        fail("variation without a move before it");
        return;
    }
    // A variation replaces the last move: it starts from the node before it.
    m_levels.push_back(Level{outer.before, nullptr, "", {}});
}

void PgnTreeBuilder::endVariation() {
    if (!m_game.strError.empty()) return;
    // The variation left out ends at its own closing parenthesis, not at those nested in it.
    if (m_leftOutDepth > 0 && --m_leftOutDepth > 0) return;
    if (m_levels.size() <= 1) return;
    Level ended = std::move(m_levels.back());
    m_levels.pop_back();
    // A variation without moves: its words and glyphs stay with the move it stood beside.
    if (!ended.pendingComment.empty() || !ended.pendingNags.empty()) {
        NodeAnnotation& marks = annotation(*m_levels.back().current);
        GameAnnotations::AppendComment(marks.strAfter, ended.pendingComment);
        marks.arrNags.insert(marks.arrNags.end(), ended.pendingNags.begin(),
                             ended.pendingNags.end());
    }
}

void PgnTreeBuilder::result(const std::string& text) {
    m_resultRead = true;
    if (text == "*") return; // what a game without the tag is written with
    for (const auto& entry : m_game.arrTags)
        if (entry.first == "Result") return;
    m_game.arrTags.emplace_back("Result", text);
}

void PgnTreeBuilder::error(const std::string& message) {
    fail(message);
}

// A game without a Description tag is described by its first comment; a long comment stays whole
// where it is, the description (shown in lists and written back as a tag) takes its beginning.
static std::string strCommentAsDescription(const std::string& comment) {
    constexpr size_t kLongest = 1000;
    if (comment.size() <= kLongest) return comment;
    size_t end = kLongest;
    while (end > 0 && (static_cast<unsigned char>(comment[end]) & 0xC0) == 0x80)
        --end; // not inside a UTF-8 sequence
    return comment.substr(0, end) + "...";
}

void PgnTreeBuilder::endGame() {
    startTree();
    m_game.strDescription = m_game.strTag("Description");
    m_game.strPageRef = m_game.strTag("PageRef");
    m_game.strDiagramRef = m_game.strTag("DiagramRef");
    bool hasDescription = false;
    for (const auto& entry : m_game.arrTags)
        hasDescription |= entry.first == "Description";
    if (!hasDescription) {
        std::string event = m_game.strTag("Event");
        if (!m_firstComment.empty()) {
            m_game.strDescription = strCommentAsDescription(m_firstComment);
        } else if (!event.empty() && event != "?") {
            m_game.strDescription = event;
        } else {
            std::string white = m_game.strTag("White");
            std::string black = m_game.strTag("Black");
            m_game.strDescription =
                (white.empty() ? "?" : white) + " - " + (black.empty() ? "?" : black);
        }
    }
    if (!m_game.strError.empty()) {
        m_game.objTree = nullptr;
        m_game.objAnnotations = GameAnnotations();
        return;
    }
    m_game.objAnnotations.arrTags = m_game.arrTags;
    if (m_leftOutCount == 1)
        m_game.strLeftOut = "a variation with a null move left out at " + m_firstLeftOut;
    else if (m_leftOutCount > 1)
        m_game.strLeftOut = std::to_string(m_leftOutCount) +
                            " variations with null moves left out, the first at " + m_firstLeftOut;
    GameNodeList next;
    m_game.objTree->objMoveFirst(next);
}
