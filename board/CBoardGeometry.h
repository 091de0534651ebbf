#pragma once

#include <array>
#include <string>

// A rectangle in twips (15 twips per device-independent pixel).
struct CTwipRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;

    // True when the point lies inside or on the edge.
    bool isContaining(double x, double y) const {
        return left <= x && x <= left + width && top <= y && y <= top + height;
    }
};

// Where every element of the board control sits for a given square size, and how display
// indices (0 = top left, row by row) map to chess squares in either orientation.
class CBoardGeometry {
public:
    static constexpr double TWIPS_PER_PIXEL = 15.0;
    static constexpr double SETUP_PANEL_WIDTH = 1935.0;
    static constexpr double SETUP_PANEL_HEIGHT = 2565.0;
    static constexpr double BUTTON_HEIGHT = 345.0;

    explicit CBoardGeometry(double squareSize = 525.0) : S(squareSize) {}

    double dblSquareSize() const { return S; }
    // Piece picture edge: the square less a 25-twip margin on each side.
    double dblPictureSize() const { return S - 50.0; }
    // Thickness of the rank and file labels.
    double dblLabelSize() const { return S / 2.0; }

    // File index (0 = a) shown at a display index.
    static int intGetFile(int index, bool isWhiteOnTop) {
        const int c = index % 8;
        return isWhiteOnTop ? 7 - c : c;
    }
    // Rank index (0 = first rank) shown at a display index.
    static int intGetRank(int index, bool isWhiteOnTop) {
        const int r = index / 8;
        return isWhiteOnTop ? r : 7 - r;
    }
    // Display index of a square name such as "e4"; -1 for a name that is not a square.
    static int intGetIndex(const std::string& name, bool isWhiteOnTop);
    // Square index (file + 8 * rank) shown at a display index.
    static int intSquareOfIndex(int index, bool isWhiteOnTop) {
        return intGetFile(index, isWhiteOnTop) + 8 * intGetRank(index, isWhiteOnTop);
    }
    // Display index of a square index (file + 8 * rank); -1 outside 0..63.
    static int intIndexOfSquare(int square, bool isWhiteOnTop) {
        if (square < 0 || square > 63) return -1;
        const int file = square % 8;
        const int rank = square / 8;
        return isWhiteOnTop ? rank * 8 + (7 - file) : (7 - rank) * 8 + file;
    }
    // Square name ("e4") shown at a display index.
    static std::string strSquareName(int index, bool isWhiteOnTop);
    // Chequer rule on display indices: index 0 is light in both orientations.
    static bool isLightSquare(int index) { return ((index / 8) + (index % 8)) % 2 == 0; }
    // Caption of file label k (left to right).
    static std::string strFileLabel(int k, bool isWhiteOnTop);
    // Caption of rank label k (top to bottom).
    static std::string strRankLabel(int k, bool isWhiteOnTop);
    // The four board quarters as display indices.
    static const std::array<std::array<int, 16>, 4>& arrPhantomAreas();
    // Square size the resize rule gives for a control width in twips.
    static double dblSquareSizeForWidth(double widthTwips);

    CTwipRect rcFileLabel(int k) const;
    CTwipRect rcRankLabel(int k) const;
    CTwipRect rcSquare(int index) const;
    CTwipRect rcPicture(int index) const;
    CTwipRect rcRack(int slot) const;
    CTwipRect rcSetupPanel() const;
    CTwipRect rcNavigationButton(int k) const;
    // The three setup buttons share the navigation row, which setup mode leaves free.
    CTwipRect rcSetupButton(int k) const;
    CTwipRect rcWhiteList() const;
    CTwipRect rcBlackList() const;
    CTwipRect rcVariationList() const;
    CTwipRect rcDeleteButton() const;
    // The move box: in the navigation row when that row is free, else in a row under it.
    CTwipRect rcMoveEntry(bool isNavigationRowFree) const;
    // Rectangle of board quarter 0..3.
    CTwipRect rcPhantomArea(int area) const;
    // The whole board: labels and squares.
    CTwipRect rcBoard() const;
    // First display index whose square contains the point; -1 when none does.
    int intDropSquare(double x, double y) const;

private:
    double S;
};
