#pragma once

// The application icon, a lit stick of dynamite, compiled into the program from the hicolor
// PNGs in data/icons: 16 and 32 pixels in 16 colours with transparency as designed, and 48,
// 64 and 128 pixels for panels and task switchers that show it larger.

#include <QIcon>
#include <QString>

namespace tessfield {

// The reverse-DNS id that names the desktop entry, the metainfo and the installed icon.
inline constexpr const char *ApplicationId = "io.github.qorv418.Tessfield";

// The resource path of the icon image of one size (16, 32, 48, 64 or 128).
QString applicationIconPath(int size);

QIcon applicationIcon();

} // namespace tessfield
