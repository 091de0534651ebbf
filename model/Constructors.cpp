#include "model/Constructors.h"

#include "model/CChessPiece.h"
#include "model/CChessSquare.h"
#include "model/CDiagram.h"
#include "model/CError.h"
#include "model/CGameStatus.h"
#include "model/CMove.h"
#include "model/CPiece.h"
#include "model/CPieceColor.h"
#include "model/CPieceLocation.h"
#include "model/PieceCodes.h"

#include <string_view>

std::shared_ptr<CPieceColor> objNewPieceColor(const std::string& text) {
    auto color = std::make_shared<CPieceColor>();
    color->strColor(text);
    return color;
}

std::shared_ptr<CPiece> objNewPiece(const std::string& letter) {
    auto piece = std::make_shared<CPiece>();
    piece->charValue(letter);
    return piece;
}

std::shared_ptr<CChessPiece> objNewChessPiece(const std::shared_ptr<CPiece>& piece,
                                              const std::shared_ptr<CPieceColor>& color,
                                              const std::string& symbol) {
    return std::make_shared<CChessPiece>(piece, color, symbol);
}

std::shared_ptr<CChessSquare> objNewChessSquare(int file, int rank) {
    return std::make_shared<CChessSquare>(file, rank);
}

std::shared_ptr<CPieceLocation> objNewPieceLocation(const std::shared_ptr<CChessSquare>& square,
                                                    const std::shared_ptr<CChessPiece>& piece) {
    return std::make_shared<CPieceLocation>(piece, square);
}

std::shared_ptr<CPieceLocation>
objNewPieceLocationOfKind(const std::shared_ptr<CChessSquare>& square,
                          const std::shared_ptr<CPiece>& piece,
                          const std::shared_ptr<CPieceColor>& color) {
    return std::make_shared<CPieceLocation>(piece ? piece->objGetChessPiece(color) : nullptr,
                                            square);
}

std::shared_ptr<CMove> objNewMove(const std::shared_ptr<CPieceLocation>& starting,
                                  const std::shared_ptr<CPieceLocation>& ending) {
    return std::make_shared<CMove>(starting, ending);
}

std::shared_ptr<CDiagram> objNewDiagram(const std::string& text) {
    std::string_view cells = text;
    if (!text.empty() && text.front() == '[' && text.back() == ']') {
        const auto first = text.find('"');
        const auto last = text.rfind('"');
        if (first != std::string::npos && last > first && last - first - 1 == 64)
            cells = cells.substr(first + 1, 64);
    }
    if (cells.size() != 64)
        RaiseError("CDiagram", "Wrong number of elements in diagram; expected 64, found " +
                                   std::to_string(cells.size()) + " in " + text);
    auto diagram = std::make_shared<CDiagram>();
    for (int i = 0; i < 64; ++i) {
        const char ch = cells[i];
        // An empty square is "e" in either case.
        if (ch == 'e' || ch == 'E') continue;
        const int code = codeOfSymbol(ch);
        if (code == EmptyCode)
            RaiseError("CDiagram", "Illegal element in diagram at offset " + std::to_string(i) +
                                       ": " + std::string(1, ch));
        const int square = squareOf(i % 8, Rank8 - i / 8);
        diagram->addInPlace(square, static_cast<int>(code));
        if (code == WhiteKingCode) diagram->setKingIndex(WhiteSlot, square);
        if (code == BlackKingCode) diagram->setKingIndex(BlackSlot, square);
    }
    if (diagram->intKingIndex(WhiteSlot) < 0) RaiseError("CDiagram", "No white king in diagram");
    if (diagram->intKingIndex(BlackSlot) < 0) RaiseError("CDiagram", "No black king in diagram");
    return diagram;
}

std::shared_ptr<CDiagram> objNewInitialDiagram() {
    auto diagram = std::make_shared<CDiagram>();
    const PieceKind back[8] = {Rook, Knight, Bishop, Queen, King, Bishop, Knight, Rook};
    // The entries in the order the start diagram has always had: White's pieces, White's pawns,
    // Black's pieces, Black's pawns.
    for (bool white : {true, false}) {
        for (int file = FileA; file <= FileH; ++file)
            diagram->addInPlace(squareOf(file, homeRankOf(white)), codeOf(back[file], white));
        for (int file = FileA; file <= FileH; ++file)
            diagram->addInPlace(squareOf(file, pawnRankOf(white)), codeOf(Pawn, white));
        diagram->setKingIndex(slotOf(white), kingHomeOf(white));
    }
    return diagram;
}

const std::shared_ptr<CDiagram>& objSharedInitialDiagram() {
    static const std::shared_ptr<CDiagram> diagram = objNewInitialDiagram();
    return diagram;
}

std::shared_ptr<CGameStatus> objNewGameStatus(const std::string& text) {
    auto status = std::make_shared<CGameStatus>();
    status->strName(text);
    return status;
}
