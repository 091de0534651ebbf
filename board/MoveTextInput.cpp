#include "board/MoveTextInput.h"

#include "game/CPosition.h"
#include "game/Perft.h"
#include "model/CChessPiece.h"
#include "model/CChessSquare.h"
#include "model/CDiagram.h"
#include "model/CPieceLocation.h"
#include "model/PieceCodes.h"

#include <regex>
#include <set>

namespace {

struct Candidate {
    int from;
    int to;
    int code;    // piece code of the mover
    int landing; // piece code on the destination after the move
};

int squareOf(const std::shared_ptr<CPieceLocation>& location) {
    const auto& square = location->objSquare();
    return square->intFile() + 8 * square->intRank();
}

std::vector<Candidate> candidates(const std::shared_ptr<CPosition>& position) {
    std::vector<Candidate> out;
    if (position == nullptr) return out;
    const CDiagram& diagram = *position->objDiagram();
    for (const LegalMove& legal : arrGetLegalMoves(position)) {
        const int from = squareOf(legal.move.objStartingLocation());
        const int to = squareOf(legal.move.objEndingLocation());
        out.push_back({from, to, diagram.intCodeAt(from),
                       legal.move.objEndingLocation()->objPiece()->intCode()});
    }
    return out;
}

// Drops the marks that do not change the move.
std::string bare(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != '+' && c != '#' && c != '!' && c != '?' && c != ' ') out += c;
    const auto ep = out.find("e.p.");
    if (ep != std::string::npos) out.erase(ep);
    return out;
}

int kindOfMoveLetter(char letter) {
    switch (letter) {
    case 'N':
        return 1;
    case 'B':
        return 2;
    case 'R':
        return 3;
    case 'Q':
        return 4;
    case 'K':
        return 5;
    default:
        return 0;
    }
}

// Keeps the candidates that fit, then judges how many distinct moves are left.
MoveTextMatch judge(const std::vector<Candidate>& all, int kind, int fromFile, int fromRank,
                    int fromSquare, int to, char promotion) {
    std::vector<Candidate> fit;
    for (const Candidate& c : all) {
        if (kind >= 0 && kindOfCode(c.code) != kind) continue;
        if (c.to != to) continue;
        if (fromSquare >= 0 && c.from != fromSquare) continue;
        if (fromFile >= 0 && c.from % 8 != fromFile) continue;
        if (fromRank >= 0 && c.from / 8 != fromRank) continue;
        if (promotion != 0 && kindOfCode(c.landing) != kindOfMoveLetter(promotion)) continue;
        fit.push_back(c);
    }
    MoveTextMatch match;
    std::set<std::pair<int, int>> distinct;
    for (const Candidate& c : fit)
        distinct.insert({c.from, c.to});
    if (distinct.empty()) {
        match.result = MoveTextMatch::Illegal;
        return match;
    }
    if (distinct.size() > 1) {
        match.result = MoveTextMatch::Ambiguous;
        return match;
    }
    match.result = MoveTextMatch::Played;
    match.from = fit.front().from;
    match.to = fit.front().to;
    match.promotion = promotion;
    return match;
}

} // namespace

MoveTextMatch objMatchMoveText(const std::shared_ptr<CPosition>& position,
                               const std::string& text) {
    MoveTextMatch unreadable;
    if (position == nullptr || text.size() > 16) return unreadable;
    const std::string t = bare(text);
    const std::vector<Candidate> all = candidates(position);
    const bool white = position->isWhiteToMove();
    const int home = white ? 4 : 60;
    if (t == "O-O" || t == "0-0") return judge(all, 5, -1, -1, home, home + 2, 0);
    if (t == "O-O-O" || t == "0-0-0") return judge(all, 5, -1, -1, home, home - 2, 0);

    static const std::regex coordinate("([a-h])([1-8])-?([a-h])([1-8])=?([qrbnQRBN])?");
    static const std::regex algebraic(
        "([KQRBN])?([a-h])?([1-8])?x?([a-h])([1-8])(=?([QRBNqrbn]))?");
    std::smatch m;
    if (std::regex_match(t, m, coordinate)) {
        const int from = (m[1].str()[0] - 'a') + 8 * (m[2].str()[0] - '1');
        const int to = (m[3].str()[0] - 'a') + 8 * (m[4].str()[0] - '1');
        const char promotion = m[5].matched ? static_cast<char>(std::toupper(m[5].str()[0])) : 0;
        return judge(all, -1, -1, -1, from, to, promotion);
    }
    if (!std::regex_match(t, m, algebraic)) return unreadable;
    const int kind = m[1].matched ? kindOfMoveLetter(m[1].str()[0]) : 0;
    const int fromFile = m[2].matched ? m[2].str()[0] - 'a' : -1;
    const int fromRank = m[3].matched ? m[3].str()[0] - '1' : -1;
    const int to = (m[4].str()[0] - 'a') + 8 * (m[5].str()[0] - '1');
    const char promotion = m[7].matched ? static_cast<char>(std::toupper(m[7].str()[0])) : 0;
    // A pawn capture names its file ("exd5"); "d5" alone is the straight move.
    if (kind == 0 && fromFile < 0 && fromRank < 0)
        return judge(all, 0, to % 8, -1, -1, to, promotion);
    return judge(all, kind, fromFile, fromRank, -1, to, promotion);
}

std::array<unsigned char, 64> arrLegalTargets(const std::shared_ptr<CPosition>& position,
                                              int from) {
    std::array<unsigned char, 64> targets{};
    if (position == nullptr || from < 0 || from > 63) return targets;
    const CDiagram& diagram = *position->objDiagram();
    const int mover = diagram.intCodeAt(from);
    for (const Candidate& c : candidates(position)) {
        if (c.from != from) continue;
        const bool enPassant = kindOfCode(mover) == 0 && c.from % 8 != c.to % 8;
        targets[c.to] = (diagram.intCodeAt(c.to) != 0 || enPassant) ? 2 : 1;
    }
    return targets;
}

int intCheckedKing(const CPosition& position) {
    if (position.objDiagram() == nullptr) return -1;
    const CDiagram& diagram = *position.objDiagram();
    // After a mate the status names no side to move: whichever king is attacked is the one.
    // The diagram keeps the answer, so every redraw of the same position asks only once.
    for (const ColorSlot slot : {WhiteSlot, BlackSlot})
        if (diagram.isKingAttacked(slot)) return diagram.intKingIndex(slot);
    return -1;
}

std::pair<int, int> LastMoveSquares(const CPosition& before, const CPosition& after,
                                    bool whiteMoved) {
    if (before.objDiagram() == nullptr || after.objDiagram() == nullptr) return {-1, -1};
    const CDiagram& a = *before.objDiagram();
    const CDiagram& b = *after.objDiagram();
    const int slot = whiteMoved ? 0 : 1;
    const int kingFrom = a.intKingIndex(slot);
    const int kingTo = b.intKingIndex(slot);
    if (kingFrom >= 0 && kingTo >= 0 && kingFrom != kingTo) return {kingFrom, kingTo};
    auto mine = [whiteMoved](int code) {
        return whiteMoved ? isWhiteCode(code) : isBlackCode(code);
    };
    int from = -1;
    int to = -1;
    for (int sq = 0; sq < 64; ++sq) {
        const int was = a.intCodeAt(sq);
        const int now = b.intCodeAt(sq);
        if (was == now) continue;
        if (mine(was) && now == 0) {
            if (from >= 0) return {-1, -1};
            from = sq;
        } else if (mine(now)) {
            if (to >= 0) return {-1, -1};
            to = sq;
        }
    }
    if (from < 0 || to < 0) return {-1, -1};
    return {from, to};
}
