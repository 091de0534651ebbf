#include "model/Geometry.h"

#include "model/CChessSquare.h"
#include "model/PieceCodes.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace {

// The most candidates a kind has: a queen in the centre.
constexpr int kMostTargets = 27;

struct TargetList {
    std::array<int8_t, kMostTargets> squares{};
    int8_t count = 0;

    constexpr void add(int file, int rank) { squares[count++] = int8_t(squareOf(file, rank)); }
};

// [kind][colour slot][square]
template <typename T>
using PerKindSideSquare = std::array<std::array<std::array<T, SquareCount>, 2>, KindCount>;

constexpr bool onBoard(int file, int rank) {
    return file >= FileA && file <= FileH && rank >= Rank1 && rank <= Rank8;
}

constexpr TargetList buildTargets(int kind, bool white, int f, int r) {
    TargetList list;
    const int d = white ? 1 : -1;
    switch (kind) {
    case Pawn:
        if (onBoard(f, r + d)) list.add(f, r + d);
        if (f > FileA && onBoard(f - 1, r + d)) list.add(f - 1, r + d);
        if (f < FileH && onBoard(f + 1, r + d)) list.add(f + 1, r + d);
        if (r == pawnRankOf(white)) list.add(f, r + 2 * d);
        break;
    case Knight:
        for (int g = f - 2; g <= f + 2; ++g) {
            if (g == f || g < 0 || g > 7) continue;
            const int k = g - f == 2 || f - g == 2 ? 1 : 2;
            if (r + k <= 7) list.add(g, r + k);
            if (r - k >= 0) list.add(g, r - k);
        }
        break;
    case Bishop:
    case Queen: // the bishop's list, then the rook's
    {
        const int s = f + r;
        for (int i = std::max(0, s - 7); i <= std::min(7, s); ++i)
            if (i != f) list.add(i, s - i);
        const int t = f - r;
        for (int i = std::max(0, t); i <= std::min(7, 7 + t); ++i)
            if (i != f) list.add(i, i - t);
        if (kind == Bishop) break;
    }
        [[fallthrough]];
    case Rook:
        for (int i = 0; i < 8; ++i) {
            if (i != f) list.add(i, r);
            if (i != r) list.add(f, i);
        }
        break;
    case King:
        for (int g = f - 1; g <= f + 1; ++g)
            for (int h = r - 1; h <= r + 1; ++h)
                if (onBoard(g, h) && !(g == f && h == r)) list.add(g, h);
        break;
    }
    return list;
}

// Worked out by the compiler: no run pays for it.
constexpr PerKindSideSquare<TargetList> kTargets = [] {
    PerKindSideSquare<TargetList> t{};
    for (int sq = SqA1; sq <= SqH8; ++sq)
        for (int kind = Pawn; kind <= King; ++kind)
            for (int slot : {WhiteSlot, BlackSlot})
                t[kind][slot][sq] = buildTargets(kind, slot == WhiteSlot, fileOf(sq), rankOf(sq));
    return t;
}();

// The same lists as shared squares, made only when first asked for: a short run that checks a
// few moves needs none of their thousands of shared pointers.
const PerKindSideSquare<SquareArray>& squareTable() {
    static const auto* built = [] {
        auto* t = new PerKindSideSquare<SquareArray>();
        for (int sq = SqA1; sq <= SqH8; ++sq)
            for (int kind = Pawn; kind <= King; ++kind)
                for (int slot : {WhiteSlot, BlackSlot}) {
                    const auto targets = Geometry::targets(kind, slot == WhiteSlot, sq);
                    SquareArray& squares = (*t)[kind][slot][sq];
                    squares.reserve(targets.size());
                    for (const int8_t target : targets)
                        squares.push_back(CChessSquare::objAt(target));
                }
        return t;
    }();
    return *built;
}

} // namespace

const SquareArray& Geometry::candidates(int kind, bool white, int square) {
    return squareTable()[kind][slotOf(white)][square];
}

std::span<const int8_t> Geometry::targets(int kind, bool white, int square) {
    const TargetList& list = kTargets[kind][slotOf(white)][square];
    return {list.squares.data(), static_cast<size_t>(list.count)};
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
