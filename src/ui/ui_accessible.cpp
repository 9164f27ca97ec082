#include "ui_accessible.h"

#include "ui/form1.h"
#include "ui/status_line.h"

#include <QAccessibleWidget>

namespace tessfield {

namespace {

class StatusLineAccessible : public QAccessibleWidget {
public:
    explicit StatusLineAccessible(StatusLine *line) : QAccessibleWidget(line, QAccessible::StatusBar) {}

    QString text(QAccessible::Text t) const override
    {
        // QLabel announces each new text as a change of name; the name is the text shown.
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<const QLabel *>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

// The status line is a status bar, and the main window a window (a frame in AT-SPI) named
// by its title, where Qt would otherwise offer a plain label and a plain pane.
QAccessibleInterface *uiFactory(const QString &className, QObject *object)
{
    if (object == nullptr || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String(StatusLine::staticMetaObject.className()))
        return new StatusLineAccessible(static_cast<StatusLine *>(object));
    if (className == QLatin1String(Form1::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

void installUiAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(&uiFactory);
        return true;
    }();
    (void)installed;
}

} // namespace tessfield
