#pragma once

#include <cstdint>

// Square tables of the board geometry, computed at compile time so that the rules can use them
// from anywhere, static initialisers included. Squares are indices file + 8 * rank.
struct GeometryTables {
    // Squares along each direction (N, S, E, W, NE, NW, SE, SW) up to the edge.
    int8_t rays[64][8][7];
    int8_t rayLength[64][8];
    // Knight and king destinations, -1 terminated.
    int8_t knight[64][9];
    int8_t king[64][9];
    // Index step from one square towards another on a common rank, file or diagonal; 0 when the
    // two squares share no line (or are the same square).
    int8_t step[64][64];
    // Ray direction (index into rays) from one square towards another, -1 when they share no line.
    int8_t direction[64][64];
};

namespace geometry_detail {
constexpr int rayFile[8] = {0, 0, 1, -1, 1, -1, 1, -1};
constexpr int rayRank[8] = {1, -1, 0, 0, 1, 1, -1, -1};

constexpr bool onBoard(int file, int rank) {
    return file >= 0 && file < 8 && rank >= 0 && rank < 8;
}

constexpr GeometryTables build() {
    GeometryTables t{};
    for (int sq = 0; sq < 64; ++sq) {
        const int f = sq % 8, r = sq / 8;
        for (int dir = 0; dir < 8; ++dir) {
            int n = 0, g = f + rayFile[dir], h = r + rayRank[dir];
            while (onBoard(g, h)) {
                t.rays[sq][dir][n++] = int8_t(g + 8 * h);
                g += rayFile[dir];
                h += rayRank[dir];
            }
            t.rayLength[sq][dir] = int8_t(n);
        }
        const int kf[8] = {1, 2, 2, 1, -1, -2, -2, -1};
        const int kr[8] = {2, 1, -1, -2, -2, -1, 1, 2};
        int kn = 0, kg = 0;
        for (int i = 0; i < 8; ++i) {
            if (onBoard(f + kf[i], r + kr[i]))
                t.knight[sq][kn++] = int8_t(f + kf[i] + 8 * (r + kr[i]));
            if (onBoard(f + rayFile[i], r + rayRank[i]))
                t.king[sq][kg++] = int8_t(f + rayFile[i] + 8 * (r + rayRank[i]));
        }
        for (int i = kn; i < 9; ++i)
            t.knight[sq][i] = -1;
        for (int i = kg; i < 9; ++i)
            t.king[sq][i] = -1;
        for (int to = 0; to < 64; ++to) {
            const int df = to % 8 - f, dr = to / 8 - r;
            const int adf = df < 0 ? -df : df, adr = dr < 0 ? -dr : dr;
            int s = 0;
            if ((df == 0) != (dr == 0) || (adf == adr && adf != 0))
                s = (df > 0 ? 1 : (df < 0 ? -1 : 0)) + 8 * (dr > 0 ? 1 : (dr < 0 ? -1 : 0));
            t.step[sq][to] = int8_t(s);
            int dir = -1;
            for (int d = 0; d < 8 && s != 0; ++d)
                if (rayFile[d] + 8 * rayRank[d] == s) dir = d;
            t.direction[sq][to] = int8_t(dir);
        }
    }
    return t;
}
} // namespace geometry_detail

inline constexpr GeometryTables kGeometry = geometry_detail::build();
