#include "game/MoveText.h"

#include "model/PieceCodes.h"

#include <cctype>
#include <string_view>

namespace {

bool isFile(char c) {
    return c >= 'a' && c <= 'h';
}

bool isRank(char c) {
    return c >= '1' && c <= '8';
}

// The text without the marks that follow a move: check and mate signs, glyphs, blanks and an
// en-passant remark ("e.p.", "ep") after the destination.
std::string_view withoutSuffix(std::string_view s) {
    const auto dropMarks = [&s] {
        while (!s.empty() && std::string_view("+#!? \t").find(s.back()) != std::string_view::npos)
            s.remove_suffix(1);
    };
    dropMarks();
    std::string_view rest = s;
    const auto lowerBack = [&rest] {
        return char(std::tolower(static_cast<unsigned char>(rest.back())));
    };
    if (!rest.empty() && rest.back() == '.') rest.remove_suffix(1);
    if (rest.empty() || lowerBack() != 'p') return s;
    rest.remove_suffix(1);
    if (!rest.empty() && rest.back() == '.') rest.remove_suffix(1);
    if (rest.empty() || lowerBack() != 'e') return s;
    rest.remove_suffix(1);
    while (!rest.empty() && rest.back() == ' ')
        rest.remove_suffix(1);
    if (rest.empty() || !isRank(rest.back())) return s;
    s = rest;
    dropMarks();
    return s;
}

// The piece kind of a figurine (U+2654 to U+265F, white and black) at the start of the text, with
// its length in bytes; NoKind when the text does not start with one.
PieceKind figurineKind(std::string_view s, size_t& length) {
    if (s.size() < 3 || static_cast<unsigned char>(s[0]) != 0xE2 ||
        static_cast<unsigned char>(s[1]) != 0x99)
        return NoKind;
    const int code = static_cast<unsigned char>(s[2]);
    if (code < 0x94 || code > 0x9F) return NoKind;
    static const PieceKind kinds[] = {King, Queen, Rook, Bishop, Knight, Pawn};
    length = 3;
    return kinds[(code - 0x94) % 6];
}

MoveTextParts unreadable(std::string reason = "unreadable move") {
    MoveTextParts parts;
    parts.strError = std::move(reason);
    return parts;
}

} // namespace

MoveTextParts objReadMoveText(const std::string& text) {
    std::string_view s = withoutSuffix(text);
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    MoveTextParts parts;
    if (s == "O-O" || s == "O-O-O") {
        parts.isCastling = true;
        parts.isLongCastling = s.size() == 5;
        parts.intPiece = King;
        return parts;
    }
    if (s.empty()) return unreadable();

    size_t figurine = 0;
    if (PieceKind kind = figurineKind(s, figurine); kind != NoKind) {
        parts.intPiece = kind;
        s.remove_prefix(figurine);
    } else if (std::isalpha(static_cast<unsigned char>(s.front())) && !isFile(s.front()) &&
               s.front() != 'x') { // "xd5": a pawn capture without its file
        parts.intPiece = kindOfLetter(s.front());
        if (parts.intPiece == NoKind)
            return unreadable("unknown piece letter " + std::string(1, s.front()));
        s.remove_prefix(1);
    }

    // A promotion: "=Q", "=q" or a bare "Q" after the destination.
    if (s.size() >= 2 && s[s.size() - 2] == '=') {
        parts.intPromotion = kindOfLetter(char(std::toupper(static_cast<unsigned char>(s.back()))));
        if (parts.intPromotion < Knight || parts.intPromotion > Queen) return unreadable();
        s.remove_suffix(2);
    } else if (!s.empty() && std::isupper(static_cast<unsigned char>(s.back()))) {
        parts.intPromotion = kindOfLetter(s.back());
        if (parts.intPromotion < Knight || parts.intPromotion > Queen) return unreadable();
        s.remove_suffix(1);
    }
    if (parts.intPromotion != NoKind && parts.intPiece != Pawn) return unreadable();

    if (s.size() < 2 || !isFile(s[s.size() - 2]) || !isRank(s.back())) return unreadable();
    parts.destFile = s[s.size() - 2];
    parts.destRank = s.back();
    s.remove_suffix(2);
    char separator = ' ';
    if (!s.empty() && (s.back() == 'x' || s.back() == ':' || s.back() == '-')) {
        separator = s.back();
        s.remove_suffix(1);
    }
    if (!s.empty() && isRank(s.back())) {
        parts.hintRank = s.back();
        s.remove_suffix(1);
    }
    if (!s.empty() && isFile(s.back())) {
        parts.hintFile = s.back();
        s.remove_suffix(1);
    }
    if (!s.empty()) return unreadable();
    // "-" joins a full starting square to the destination ("Ng1-f3"), nothing less.
    if (separator == '-' && (parts.hintFile == ' ' || parts.hintRank == ' ')) return unreadable();
    parts.isCapture = separator == 'x' || separator == ':';
    return parts;
}
