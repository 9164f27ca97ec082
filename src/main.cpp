#include "ui/app_icon.h"
#include "ui/command_line.h"
#include "ui/form1.h"
#include "ui/ui_accessible.h"

#include <QApplication>

#include <cstdio>
#include <optional>

int main(int argc, char *argv[])
{
    if (const std::optional<tessfield::CommandLineReply> reply =
            tessfield::answerCommandLine(argc, argv)) {
        std::fputs(reply->out.c_str(), stdout);
        std::fputs(reply->err.c_str(), stderr);
        return reply->status;
    }
    std::fputs(tessfield::dropUnusableScaling().c_str(), stderr);
    std::optional<tessfield::DisplayGuard> guard(std::in_place, argc, argv);
    QApplication app(argc, argv);
    guard->requireScreen();
    guard.reset();
    QApplication::setApplicationName(QStringLiteral("tessfield"));
    QApplication::setApplicationVersion(QLatin1String(tessfield::programVersion()));
    QGuiApplication::setDesktopFileName(QLatin1String(tessfield::ApplicationId));
    QApplication::setWindowIcon(tessfield::applicationIcon());
    tessfield::installUiAccessibility();
    tessfield::Form1 form;
    form.show();
    return QApplication::exec();
}
