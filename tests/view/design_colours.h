#pragma once

// The looks' colours as the design writes them, 0xBBGGRR, for the tests that check what is
// painted against the design rather than against the painter.

#include <QtGlobal>

#include <array>

namespace tessfield::fixtures {

constexpr quint32 CoveredBgr = 0x404040;
constexpr quint32 RevealedBgr = 0xC0C0C0;
constexpr quint32 MineBgr = 0x8080FF;
constexpr quint32 FlagBgr = 0xFFFFFF;
constexpr quint32 BombBgr = 0x000000;
constexpr std::array<quint32, 9> CountBgr = {0,        0xFF0000, 0x00FF00, 0x0000FF, 0x800000,
                                             0x000080, 0x00FFFF, 0xFF00FF, 0xFFFFFF};

} // namespace tessfield::fixtures
