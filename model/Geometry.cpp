#include "model/Geometry.h"

#include "model/CChessSquare.h"
#include "model/PieceCodes.h"

#include <array>
#include <cstdlib>

namespace {

struct Tables {
    // [kind][colour slot][square]
    std::array<std::array<std::array<SquareArray, SquareCount>, 2>, KindCount> candidates;
};

bool onBoard(int file, int rank) {
    return file >= FileA && file <= FileH && rank >= Rank1 && rank <= Rank8;
}

void append(SquareArray& list, int file, int rank) {
    list.push_back(CChessSquare::objGetSquare(file, rank));
}

SquareArray buildCandidates(int kind, bool white, int f, int r) {
    SquareArray list;
    const int d = white ? 1 : -1;
    switch (kind) {
    case Pawn:
        if (onBoard(f, r + d)) append(list, f, r + d);
        if (f > FileA && onBoard(f - 1, r + d)) append(list, f - 1, r + d);
        if (f < FileH && onBoard(f + 1, r + d)) append(list, f + 1, r + d);
        if (r == pawnRankOf(white)) append(list, f, r + 2 * d);
        break;
    case Knight:
        for (int g = f - 2; g <= f + 2; ++g) {
            if (g == f || g < 0 || g > 7) continue;
            const int k = std::abs(g - f) == 2 ? 1 : 2;
            if (r + k <= 7) append(list, g, r + k);
            if (r - k >= 0) append(list, g, r - k);
        }
        break;
    case Bishop:
    case Queen: // the bishop's list, then the rook's
    {
        const int s = f + r;
        for (int i = std::max(0, s - 7); i <= std::min(7, s); ++i)
            if (i != f) append(list, i, s - i);
        const int t = f - r;
        for (int i = std::max(0, t); i <= std::min(7, 7 + t); ++i)
            if (i != f) append(list, i, i - t);
        if (kind == Bishop) break;
    }
        [[fallthrough]];
    case Rook:
        for (int i = 0; i < 8; ++i) {
            if (i != f) append(list, i, r);
            if (i != r) append(list, f, i);
        }
        break;
    case King:
        for (int g = f - 1; g <= f + 1; ++g)
            for (int h = r - 1; h <= r + 1; ++h)
                if (onBoard(g, h) && !(g == f && h == r)) append(list, g, h);
        break;
    }
    return list;
}

const Tables& tables() {
    static const Tables* built = [] {
        auto* t = new Tables();
        for (int sq = SqA1; sq <= SqH8; ++sq) {
            const int f = fileOf(sq), r = rankOf(sq);
            for (int kind = Pawn; kind <= King; ++kind)
                for (int slot : {WhiteSlot, BlackSlot})
                    t->candidates[kind][slot][sq] = buildCandidates(kind, slot == WhiteSlot, f, r);
        }
        return t;
    }();
    return *built;
}

} // namespace

const SquareArray& Geometry::candidates(int kind, bool white, int square) {
    return tables().candidates[kind][slotOf(white)][square];
}

int Geometry::line(int from, int to, int8_t* out) {
    const int ff = fileOf(from), fr = rankOf(from), tf = fileOf(to), tr = rankOf(to);
    int count;
    if (tf == ff) {
        if (tr == fr) return 0;
        count = std::abs(tr - fr);
    } else {
        count = std::abs(tf - ff);
    }
    const int df = tf > ff ? 1 : (tf < ff ? -1 : 0);
    const int dr = tr > fr ? 1 : (tr < fr ? -1 : 0);
    int f = ff, r = fr, n = 0;
    for (int i = 0; i < count; ++i) {
        f += df;
        r += dr;
        if (!onBoard(f, r)) break;
        out[n++] = int8_t(squareOf(f, r));
    }
    return n;
}

int Geometry::transit(int kind, bool white, int from, int to, int8_t* out) {
    const int df = fileOf(to) - fileOf(from), dr = rankOf(to) - rankOf(from);
    const int adf = std::abs(df), adr = std::abs(dr);
    switch (kind) {
    case Pawn: {
        const int forward = white ? dr : -dr;
        if (df == 0 && forward == 1) {
            out[0] = int8_t(to);
            return 1;
        }
        if (df == 0 && forward == 2 && rankOf(from) == pawnRankOf(white)) {
            out[0] = int8_t(squareOf(fileOf(from), white ? Rank3 : Rank6));
            out[1] = int8_t(to);
            return 2;
        }
        if (forward == 1 && adf == 1) {
            out[0] = int8_t(to);
            return 1;
        }
        return 0;
    }
    case Knight:
        if (adr * adf == 2) {
            out[0] = int8_t(to);
            return 1;
        }
        return 0;
    case Bishop:
        return adf == adr ? line(from, to, out) : 0;
    case Rook:
        return (df == 0 || dr == 0) ? line(from, to, out) : 0;
    case Queen:
        return (df == 0 || dr == 0 || adf == adr) ? line(from, to, out) : 0;
    case King:
        if (adr < 2 && adf < 2) {
            out[0] = int8_t(to);
            return 1;
        }
        if (dr == 0 && adf == 2 && from == kingHomeOf(white)) {
            out[0] = int8_t(squareOf(fileOf(from) + df / 2, rankOf(from)));
            out[1] = int8_t(to);
            return 2;
        }
        return 0;
    default:
        return 0;
    }
}
