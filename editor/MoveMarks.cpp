#include "editor/MoveMarks.h"

#include <algorithm>

namespace {

bool isMark(int nag) {
    return nag >= 1 && nag <= kMoveMarks;
}

} // namespace

QString strMarkGlyph(int nag) {
    static const char* const glyphs[kMoveMarks] = {"!", "?", "!!", "??", "!?", "?!"};
    return isMark(nag) ? QString(glyphs[nag - 1]) : QString();
}

int intMoveMark(const std::vector<int>& nags) {
    const auto found = std::find_if(nags.begin(), nags.end(), isMark);
    return found == nags.end() ? 0 : *found;
}

void SetMoveMark(std::vector<int>& nags, int mark) {
    nags.erase(std::remove_if(nags.begin(), nags.end(), isMark), nags.end());
    if (isMark(mark)) nags.insert(nags.begin(), mark);
}
