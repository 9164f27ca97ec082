#include "ui/app_icon.h"
#include "ui/form1.h"

#include <QApplication>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

namespace {

bool hasDisplay()
{
    // A platform chosen by hand (offscreen, vnc, ...) needs no display server.
    constexpr std::array names = {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"};
    return std::any_of(names.begin(), names.end(), [](const char *name) {
        const char *value = std::getenv(name);
        return value != nullptr && *value != '\0';
    });
}

} // namespace

int main(int argc, char *argv[])
{
    if (!hasDisplay()) {
        std::fputs("tessfield needs a graphical display: run it in a desktop session "
                   "(DISPLAY or WAYLAND_DISPLAY is not set)\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tessfield"));
    QApplication::setApplicationVersion(QStringLiteral(TESSFIELD_VERSION));
    QGuiApplication::setDesktopFileName(QLatin1String(tessfield::ApplicationId));
    QApplication::setWindowIcon(tessfield::applicationIcon());
    tessfield::Form1 form;
    form.show();
    return QApplication::exec();
}
