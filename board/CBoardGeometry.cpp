#include "board/CBoardGeometry.h"

int CBoardGeometry::intGetIndex(const std::string& name, bool isWhiteOnTop) {
    if (name.size() != 2) return -1;
    const int file = name[0] - 'a';
    const int rank = name[1] - '1';
    if (file < 0 || file > 7 || rank < 0 || rank > 7) return -1;
    return isWhiteOnTop ? rank * 8 + (7 - file) : (7 - rank) * 8 + file;
}

std::string CBoardGeometry::strSquareName(int index, bool isWhiteOnTop) {
    std::string name;
    name += static_cast<char>('a' + intGetFile(index, isWhiteOnTop));
    name += static_cast<char>('1' + intGetRank(index, isWhiteOnTop));
    return name;
}

std::string CBoardGeometry::strFileLabel(int k, bool isWhiteOnTop) {
    return std::string(1, static_cast<char>(isWhiteOnTop ? 'h' - k : 'a' + k));
}

std::string CBoardGeometry::strRankLabel(int k, bool isWhiteOnTop) {
    return std::string(1, static_cast<char>(isWhiteOnTop ? '1' + k : '8' - k));
}

const std::array<std::array<int, 16>, 4>& CBoardGeometry::arrPhantomAreas() {
    static const std::array<std::array<int, 16>, 4> areas = [] {
        std::array<std::array<int, 16>, 4> a{};
        for (int area = 0; area < 4; ++area) {
            const int row0 = area < 2 ? 0 : 4;
            const int col0 = area % 2 == 0 ? 0 : 4;
            int n = 0;
            for (int r = row0; r < row0 + 4; ++r)
                for (int c = col0; c < col0 + 4; ++c)
                    a[area][n++] = r * 8 + c;
        }
        return a;
    }();
    return areas;
}

double CBoardGeometry::dblSquareSizeForWidth(double widthTwips) {
    return (widthTwips - SETUP_PANEL_WIDTH / 2.0) / 12.0;
}

CTwipRect CBoardGeometry::rcFileLabel(int k) const {
    const double L = dblLabelSize();
    return {L + k * S, 0, S, L};
}

CTwipRect CBoardGeometry::rcRankLabel(int k) const {
    const double L = dblLabelSize();
    return {0, L + k * S, L, S};
}

CTwipRect CBoardGeometry::rcSquare(int index) const {
    const double L = dblLabelSize();
    const int r = index / 8;
    const int c = index % 8;
    const double left = index == 0 ? L : L + c * S + 1;
    return {left, L + r * S, S, S};
}

CTwipRect CBoardGeometry::rcPicture(int index) const {
    const CTwipRect sq = rcSquare(index);
    return {sq.left + 25, sq.top + 25, dblPictureSize(), dblPictureSize()};
}

CTwipRect CBoardGeometry::rcRack(int slot) const {
    const double L = dblLabelSize();
    const int k = slot % 6;
    const double left = slot < 6 ? 9 * S + L : 10 * S + L;
    return {left, L + k * S, dblPictureSize(), dblPictureSize()};
}

CTwipRect CBoardGeometry::rcSetupPanel() const {
    const CTwipRect slot5 = rcRack(5);
    return {slot5.left, slot5.top + S + dblLabelSize() + 50, SETUP_PANEL_WIDTH, SETUP_PANEL_HEIGHT};
}

CTwipRect CBoardGeometry::rcNavigationButton(int k) const {
    const double w = 8 * S / 5;
    return {rcPicture(0).left + k * w, rcPicture(63).top + 1.25 * S, w, BUTTON_HEIGHT};
}

CTwipRect CBoardGeometry::rcSetupButton(int k) const {
    const double w = 8 * S / 3;
    const CTwipRect nav = rcNavigationButton(0);
    return {nav.left + k * w, nav.top, w, BUTTON_HEIGHT};
}

CTwipRect CBoardGeometry::rcWhiteList() const {
    return {rcSetupPanel().left, dblLabelSize(), SETUP_PANEL_WIDTH / 2, 4 * S};
}

CTwipRect CBoardGeometry::rcBlackList() const {
    const CTwipRect w = rcWhiteList();
    return {w.left + w.width - 25, w.top, w.width, w.height};
}

CTwipRect CBoardGeometry::rcVariationList() const {
    const CTwipRect w = rcWhiteList();
    return {w.left, w.top + w.height + 25, 2 * w.width - 25, 2 * S};
}

CTwipRect CBoardGeometry::rcDeleteButton() const {
    const CTwipRect v = rcVariationList();
    return {v.left, v.top + v.height + 25, v.width / 2, BUTTON_HEIGHT};
}

CTwipRect CBoardGeometry::rcMoveEntry(bool isNavigationRowFree) const {
    const CTwipRect nav = rcNavigationButton(0);
    const double top = isNavigationRowFree ? nav.top : nav.top + BUTTON_HEIGHT + 60;
    return {nav.left, top, 8 * S, BUTTON_HEIGHT};
}

CTwipRect CBoardGeometry::rcPhantomArea(int area) const {
    const CTwipRect first = rcSquare(arrPhantomAreas()[area][0]);
    return {first.left, first.top, 4 * S, 4 * S};
}

CTwipRect CBoardGeometry::rcBoard() const {
    const double L = dblLabelSize();
    return {0, 0, L + 8 * S + 1, L + 8 * S};
}

int CBoardGeometry::intDropSquare(double x, double y) const {
    for (int i = 0; i < 64; ++i)
        if (rcSquare(i).isContaining(x, y)) return i;
    return -1;
}
