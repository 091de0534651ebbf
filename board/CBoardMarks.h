#pragma once

#include <array>
#include <vector>

// The arrows and square marks drawn on a board, by square index (file + 8 * rank) so that they
// stay on their squares when the board is flipped. Colours are indices into arrColors below.
class CBoardMarks {
public:
    enum Color { Green = 0, Red = 1, Blue = 2, Yellow = 3, COLORS = 4 };

    struct Arrow {
        int from = 0;
        int to = 0;
        int color = Green;
    };

    // Draws an arrow, or takes it away when the same arrow in the same colour is there already;
    // another colour replaces it. False for squares off the board or an arrow of no length.
    bool ToggleArrow(int from, int to, int color);
    // Adds an arrow (replacing one between the same squares) without taking any away.
    bool AddArrow(int from, int to, int color);
    // Marks a square, or takes the mark away when it has that colour already.
    bool ToggleMark(int square, int color);
    // Takes every arrow and mark away; True when there was one.
    bool Clear();

    const std::vector<Arrow>& arrArrows() const { return arrows; }
    // Colour of the square's mark, -1 for none.
    int intMark(int square) const { return square >= 0 && square < 64 ? marks[square] : -1; }
    bool isEmpty() const;

    // Colour index for keyboard modifiers held: none green, Shift red, Ctrl blue, Alt yellow.
    static int intColorOfModifiers(bool shift, bool ctrl, bool alt);

private:
    static bool isValid(int square) { return square >= 0 && square < 64; }
    static int intClampColor(int color) { return color < 0 || color >= COLORS ? Green : color; }
    std::vector<Arrow> arrows;
    std::array<int, 64> marks = filled();
    static std::array<int, 64> filled() {
        std::array<int, 64> a{};
        a.fill(-1);
        return a;
    }
};
