#pragma once

#include <QString>
#include <vector>

// The six move marks are the glyphs 1 to 6: !, ?, !!, ??, !? and ?!. A move carries at most one
// of them; any other glyph it has (a position judgement, say) is kept beside it.
constexpr int kMoveMarks = 6;

// The mark's text ("!" for 1 ... "?!" for 6), empty for any other glyph.
QString strMarkGlyph(int nag);
// The move's mark among its glyphs, 0 when it has none.
int intMoveMark(const std::vector<int>& nags);
// Gives the move the mark (0 takes it away), keeping its other glyphs in their order.
void SetMoveMark(std::vector<int>& nags, int mark);
