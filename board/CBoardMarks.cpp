#include "board/CBoardMarks.h"

#include <algorithm>

bool CBoardMarks::ToggleArrow(int from, int to, int color) {
    if (!isValid(from) || !isValid(to) || from == to) return false;
    color = intClampColor(color);
    auto same = std::find_if(arrows.begin(), arrows.end(),
                             [&](const Arrow& a) { return a.from == from && a.to == to; });
    if (same != arrows.end() && same->color == color) {
        arrows.erase(same);
        return true;
    }
    return AddArrow(from, to, color);
}

bool CBoardMarks::AddArrow(int from, int to, int color) {
    if (!isValid(from) || !isValid(to) || from == to) return false;
    color = intClampColor(color);
    for (Arrow& a : arrows) {
        if (a.from == from && a.to == to) {
            a.color = color;
            return true;
        }
    }
    arrows.push_back({from, to, color});
    return true;
}

bool CBoardMarks::ToggleMark(int square, int color) {
    if (!isValid(square)) return false;
    color = intClampColor(color);
    marks[square] = marks[square] == color ? -1 : color;
    return true;
}

bool CBoardMarks::Clear() {
    const bool had = !isEmpty();
    arrows.clear();
    marks.fill(-1);
    return had;
}

bool CBoardMarks::isEmpty() const {
    return arrows.empty() && std::all_of(marks.begin(), marks.end(), [](int m) { return m < 0; });
}

int CBoardMarks::intColorOfModifiers(bool shift, bool ctrl, bool alt) {
    if (shift) return Red;
    if (ctrl) return Blue;
    if (alt) return Yellow;
    return Green;
}
