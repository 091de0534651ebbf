#include "game/Fen.h"

#include "game/CPosition.h"
#include "game/PositionConstructors.h"
#include "model/CDiagram.h"
#include "model/CError.h"
#include "model/CGameStatus.h"
#include "model/PieceCodes.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace {

// The first six fields of the text, split at spaces after runs of spaces are reduced to one; a
// leading space gives an empty first field. Further fields are not read.
struct FenFields {
    std::array<std::string_view, 6> field;
    size_t count = 0;
};

FenFields fieldsOf(std::string_view fen) {
    FenFields fields;
    for (size_t start = 0; fields.count < fields.field.size();) {
        const size_t end = fen.find(' ', start);
        fields.field[fields.count++] = fen.substr(start, end == fen.npos ? end : end - start);
        if (end == fen.npos) break;
        start = fen.find_first_not_of(' ', end);
        if (start == fen.npos) break;
    }
    return fields;
}

std::shared_ptr<CPosition> build(const std::string& cells, const FenFields& fields) {
    const std::string_view castling = fields.field[2];
    std::vector<bool> forfeits(4, true);
    if (castling != "-") {
        const char letters[4] = {'K', 'Q', 'k', 'q'};
        for (int i = 0; i < 4; ++i)
            forfeits[i] = castling.find(letters[i]) == castling.npos;
    }
    const std::string letter =
        fields.field[3] == "-" ? " " : std::string(fields.field[3].substr(0, 1));
    const bool white = fields.field[1] == "w";
    // The full-move number, when the sixth field gives one from 1 to 9999; the number kept is
    // that of the last move played, so White to move at move n has n - 1.
    int fullMove = 1;
    const std::string_view number = fields.field[5];
    if (fields.count == 6 && !number.empty() && number.size() <= 4 &&
        number.find_first_not_of("0123456789") == number.npos) {
        const int given = std::stoi(std::string(number));
        if (given >= 1) fullMove = given;
    }
    return objNewPosition(objNewDiagram(cells),
                          white ? CGameStatus::objWHITE_TO_MOVE() : CGameStatus::objBLACK_TO_MOVE(),
                          white ? fullMove - 1 : fullMove, forfeits, letter);
}

[[noreturn]] void refuse(const std::string& message) {
    RaiseError("FEN", message);
}

} // namespace

std::shared_ptr<CPosition> objTryReadFen(const std::string& fen) {
    const FenFields fields = fieldsOf(fen);
    if (fields.count < 4) return nullptr;
    const std::string cells = CDiagram::strFenToDiagram(fields.field[0]);
    if (cells.size() != 64) return nullptr;
    return build(cells, fields);
}

std::shared_ptr<CPosition> objReadFen(const std::string& fen) {
    const FenFields fields = fieldsOf(fen);
    if (fields.count < 4)
        refuse("FEN needs four fields (placement, side, castling, en passant): \"" + fen + "\"");
    const std::string_view placement = fields.field[0];
    const auto quoted = [&placement] { return ": \"" + std::string(placement) + "\""; };
    const auto isPlacementChar = [](char c) {
        return c == '/' || (c >= '1' && c <= '8') || codeOfSymbol(c) != EmptyCode;
    };
    if (!std::all_of(placement.begin(), placement.end(), isPlacementChar))
        refuse("FEN placement may hold only piece letters, digits 1-8 and \"/\"" + quoted());
    int rank = 0, ranks = 1;
    for (char c : placement) {
        if (c == '/') {
            if (rank != 8)
                refuse("FEN rank " + std::to_string(ranks) + " does not hold 8 squares" + quoted());
            rank = 0;
            ++ranks;
        } else {
            rank += (c >= '1' && c <= '8') ? c - '0' : 1;
        }
    }
    if (rank != 8 || ranks != 8) refuse("FEN placement must give 8 ranks of 8 squares" + quoted());
    const std::string_view side = fields.field[1];
    if (side != "w" && side != "b")
        refuse("FEN side to move must be w or b: \"" + std::string(side) + "\"");
    const std::string_view castling = fields.field[2];
    if (castling != "-" &&
        (castling.empty() || castling.find_first_not_of("KQkq") != castling.npos))
        refuse("FEN castling field must be - or letters of KQkq: \"" + std::string(castling) +
               "\"");
    const std::string_view ep = fields.field[3];
    const bool epOk = ep == "-" || (ep.size() == 2 && ep[0] >= 'a' && ep[0] <= 'h' &&
                                    ep[1] == (side == "w" ? '6' : '3'));
    if (!epOk)
        refuse("FEN en-passant field must be - or a square on the " +
               std::string(side == "w" ? "sixth" : "third") + " rank: \"" + std::string(ep) + "\"");
    return build(CDiagram::strFenToDiagram(placement), fields);
}
