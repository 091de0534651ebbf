#pragma once

// The operating modes of the board control. The numbers are the ones the stored "Mode" property
// and the int accessors of cntrlChessGui use.
enum class BoardMode {
    FreePlay = 0, // moves of both sides are taken, the move lists follow
    Setup = 1,    // pieces are placed from the rack; no moves
    View = 2,     // the game is stepped through; drops are refused
    Training = 3  // moves are taken and judged, the board stands alone
};
