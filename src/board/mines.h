#pragma once

#include "board.h"
#include "mine_random.h"

namespace tessfield {

// Puts board.mineCount mines on distinct cells, at positions drawn from random after it has
// been reset and seeded with gameId. Draws the column before the row and redraws both
// when the cell already holds a mine. Needs mineCount below the number of cells.
void placeMines(Board &board, MineRandom &random, double gameId);

// Fills countGrid with the number of mines in each cell's 3x3 block, the cell included.
void countNeighbours(Board &board);

} // namespace tessfield
