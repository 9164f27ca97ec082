#include "app_icon.h"

namespace tessfield {

QString applicationIconPath(int size)
{
    return QStringLiteral(":/icons/%1x%1/apps/%2.png").arg(size).arg(QLatin1String(ApplicationId));
}

QIcon applicationIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128})
        icon.addFile(applicationIconPath(size), QSize(size, size));
    return icon;
}

} // namespace tessfield
