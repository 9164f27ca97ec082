#include "status_line.h"

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

QAccessibleInterface *statusLineFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String(StatusLine::staticMetaObject.className()) && object != nullptr
        && object->isWidgetType())
        return new StatusLineAccessible(static_cast<StatusLine *>(object));
    return nullptr;
}

} // namespace

StatusLine::StatusLine(QWidget *parent) : QLabel(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(&statusLineFactory);
        return true;
    }();
    (void)installed;
}

} // namespace tessfield
