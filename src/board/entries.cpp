#include "entries.h"

#include "number_reader.h"

#include <cmath>

namespace tessfield {

namespace {

constexpr int MaxCells = Int16Max;

} // namespace

EntryCheck checkEntries(const EntryTexts &texts)
{
    const auto rows = roundToInt16(readNumber(texts.rows));
    if (!rows || *rows < 1)
        return EntryRefusal{std::string(refusals::Rows)};
    const auto columns = roundToInt16(readNumber(texts.columns));
    if (!columns || *columns < 1)
        return EntryRefusal{std::string(refusals::Columns)};
    const auto mines = roundToInt16(readNumber(texts.mines));
    if (!mines)
        return EntryRefusal{std::string(refusals::Mines)};
    const double gameId = readNumber(texts.gameId);
    if (!std::isfinite(gameId))
        return EntryRefusal{std::string(refusals::GameId)};
    if (int{*rows} * int{*columns} > MaxCells)
        return EntryRefusal{std::string(refusals::Cells)};
    return BoardParameters{*rows, *columns, *mines, gameId};
}

Int16 clampMineCount(Int16 rows, Int16 columns, Int16 mines)
{
    const Int16 cells = mul16(rows, columns);
    return mines >= cells ? sub16(cells, 1) : mines;
}

} // namespace tessfield
