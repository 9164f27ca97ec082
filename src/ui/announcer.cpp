#include "announcer.h"

#include <QAccessibleInterface>
#include <QWindow>

namespace tessfield {

namespace {

class NotificationAccessible : public QAccessibleInterface {
public:
    NotificationAccessible(QWidget *host, QString text) : host_(host), text_(std::move(text)) {}

    bool isValid() const override { return !host_.isNull(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override
    {
        const QWidget *host = host_.data();
        return host == nullptr ? nullptr : host->window()->windowHandle();
    }
    QAccessibleInterface *parent() const override
    {
        return host_.isNull() ? nullptr : QAccessible::queryAccessibleInterface(host_.data());
    }
    QAccessibleInterface *child(int /*index*/) const override { return nullptr; }
    QAccessibleInterface *childAt(int /*x*/, int /*y*/) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface * /*child*/) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? text_ : QString();
    }
    void setText(QAccessible::Text /*t*/, const QString & /*text*/) override {}
    QRect rect() const override
    {
        const QWidget *host = host_.data();
        if (host == nullptr)
            return {};
        return {host->mapToGlobal(QPoint(0, 0)), host->size()};
    }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.readOnly = true;
        state.invalid = host_.isNull();
        return state;
    }

private:
    QPointer<QWidget> host_;
    QString text_;
};

} // namespace

Announcer::~Announcer()
{
    for (const QAccessible::Id id : posted_)
        QAccessible::deleteAccessibleInterface(id);
}

void Announcer::announce(const QString &text)
{
    if (text.isEmpty() || host_.isNull() || !QAccessible::isActive())
        return;
    // Queued behind the paint that the change being told has asked for.
    QMetaObject::invokeMethod(
        host_.data(), [this, text] { post(text); }, Qt::QueuedConnection);
}

void Announcer::post(const QString &text)
{
    if (host_.isNull() || !QAccessible::isActive())
        return;
    auto *notification = new NotificationAccessible(host_.data(), text);
    posted_.push_back(QAccessible::registerAccessibleInterface(notification));
    while (posted_.size() > Kept) {
        QAccessible::deleteAccessibleInterface(posted_.front());
        posted_.pop_front();
    }
    QAccessibleEvent shown(notification, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

} // namespace tessfield
