#include "game/Fen.h"

#include "game/CPosition.h"
#include "game/PositionConstructors.h"
#include "model/CDiagram.h"
#include "model/CError.h"
#include "model/CGameStatus.h"

#include <sstream>
#include <vector>

namespace {

// Fields of the text split at spaces after runs of spaces are reduced to one; a leading space
// gives an empty first field.
std::vector<std::string> fieldsOf(const std::string& fen) {
    std::vector<std::string> fields;
    for (size_t start = 0;;) {
        const size_t end = fen.find(' ', start);
        fields.emplace_back(fen, start, end == std::string::npos ? end : end - start);
        if (end == std::string::npos) break;
        start = fen.find_first_not_of(' ', end);
        if (start == std::string::npos) break;
    }
    return fields;
}

std::shared_ptr<CPosition> build(const std::string& cells, const std::vector<std::string>& fields) {
    const std::string& castling = fields[2];
    std::vector<bool> forfeits(4, true);
    if (castling != "-") {
        const char letters[4] = {'K', 'Q', 'k', 'q'};
        for (int i = 0; i < 4; ++i)
            forfeits[i] = castling.find(letters[i]) == std::string::npos;
    }
    const std::string letter = fields[3] == "-" ? " " : fields[3].substr(0, 1);
    const bool white = fields[1] == "w";
    return objNewPosition(objNewDiagram(cells),
                          white ? CGameStatus::objWHITE_TO_MOVE() : CGameStatus::objBLACK_TO_MOVE(),
                          white ? 0 : 1, forfeits, letter);
}

[[noreturn]] void refuse(const std::string& message) {
    RaiseError("FEN", message);
}

} // namespace

std::shared_ptr<CPosition> objTryReadFen(const std::string& fen) {
    const auto fields = fieldsOf(fen);
    if (fields.size() < 4) return nullptr;
    const std::string cells = CDiagram::strFenToDiagram(fields[0]);
    if (cells.size() != 64) return nullptr;
    return build(cells, fields);
}

std::shared_ptr<CPosition> objReadFen(const std::string& fen) {
    const auto fields = fieldsOf(fen);
    if (fields.size() < 4)
        refuse("FEN needs four fields (placement, side, castling, en passant): \"" + fen + "\"");
    const std::string& placement = fields[0];
    if (placement.find_first_not_of("prnbqkPRNBQK12345678/") != std::string::npos)
        refuse("FEN placement may hold only piece letters, digits 1-8 and \"/\": \"" + placement +
               "\"");
    int rank = 0, ranks = 1;
    for (char c : placement) {
        if (c == '/') {
            if (rank != 8)
                refuse("FEN rank " + std::to_string(ranks) + " does not hold 8 squares: \"" +
                       placement + "\"");
            rank = 0;
            ++ranks;
        } else {
            rank += (c >= '1' && c <= '8') ? c - '0' : 1;
        }
    }
    if (rank != 8 || ranks != 8)
        refuse("FEN placement must give 8 ranks of 8 squares: \"" + placement + "\"");
    if (fields[1] != "w" && fields[1] != "b")
        refuse("FEN side to move must be w or b: \"" + fields[1] + "\"");
    const std::string& castling = fields[2];
    if (castling != "-" &&
        (castling.empty() || castling.find_first_not_of("KQkq") != std::string::npos))
        refuse("FEN castling field must be - or letters of KQkq: \"" + castling + "\"");
    const std::string& ep = fields[3];
    const bool epOk = ep == "-" || (ep.size() == 2 && ep[0] >= 'a' && ep[0] <= 'h' &&
                                    ep[1] == (fields[1] == "w" ? '6' : '3'));
    if (!epOk)
        refuse("FEN en-passant field must be - or a square on the " +
               std::string(fields[1] == "w" ? "sixth" : "third") + " rank: \"" + ep + "\"");
    return build(CDiagram::strFenToDiagram(placement), fields);
}
