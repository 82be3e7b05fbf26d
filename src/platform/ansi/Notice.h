// What a terminal too small even for a view of the screen shows instead: a notice of the size it
// has and the size the game needs, its words wrapped to the width there is, in the console's own
// white on black.
#pragma once

#include <string>

namespace platform::ansi {

// The smallest terminal that shows a view of the screen.
inline constexpr int minViewColumns = 40;
inline constexpr int minViewRows = 12;

bool tooSmallForView(int columns, int rows);

// The bytes that clear a terminal of `columns` x `rows` and show the notice; where the terminal
// does not erase in the current background (`erases` false), every cell is written. The cursor is
// left at the top-left.
std::string noticeBytes(int columns, int rows, bool erases);

} // namespace platform::ansi
