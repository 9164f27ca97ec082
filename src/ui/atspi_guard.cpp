#include "atspi_guard.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QPointer>
#include <QTimer>

#include <algorithm>

namespace tessfield {

namespace {

// Where Qt registers its adaptor: every accessible object's path lies below this one.
const QString AdaptorPath = QStringLiteral("/org/a11y/atspi/accessible");

// The farthest a point's coordinate is taken from the origin: well beyond any screen, and
// far enough from the ends of an int that adding a window's place to it cannot overflow.
constexpr int FarthestPoint = 1 << 24;

QAccessibleInterface *interfaceAt(const QString &path)
{
    bool number = false;
    const QAccessible::Id id = path.mid(AdaptorPath.size() + 1).toUInt(&number);
    return number ? QAccessible::accessibleInterface(id) : nullptr;
}

// Brings into range the arguments of the calls for which Qt's adaptor works per unit of a
// number sent; true when it changed any.
bool screenArguments(const QDBusMessage &message, QList<QVariant> &arguments)
{
    const QString member = message.member();
    if (arguments.size() != 3)
        return false;
    const int first = arguments[0].toInt();
    const int second = arguments[1].toInt();
    int start = first;
    int end = second;
    if (member == QLatin1String("GetRangeExtents")) {
        // Qt unites the box of every offset from the start to the end, an end included: a
        // loop that never ends for an end of INT_MAX. The offsets go no further than the
        // text (an end of -1 stands for the text's end, as Qt takes it).
        QAccessibleInterface *target = interfaceAt(message.path());
        QAccessibleTextInterface *text = target == nullptr ? nullptr : target->textInterface();
        if (text == nullptr)
            return false;
        const int count = text->characterCount();
        start = std::clamp(first, 0, count);
        end = second == -1 ? -1 : std::clamp(second, 0, count);
    } else if (member == QLatin1String("GetAccessibleAtPoint")
               || member == QLatin1String("GetOffsetAtPoint") || member == QLatin1String("Contains")) {
        // Qt adds the window's place to a point given in the window's coordinates.
        start = std::clamp(first, -FarthestPoint, FarthestPoint);
        end = std::clamp(second, -FarthestPoint, FarthestPoint);
    }
    if (start == first && end == second)
        return false;
    arguments[0] = start;
    arguments[1] = end;
    return true;
}

// Stands in Qt's adaptor's place on the bus and hands it every call, screened.
class AdaptorScreen : public QDBusVirtualObject {
public:
    explicit AdaptorScreen(QDBusVirtualObject *adaptor) : QDBusVirtualObject(adaptor), adaptor_(adaptor) {}

    QString introspect(const QString &path) const override
    {
        return adaptor_.isNull() ? QString() : adaptor_->introspect(path);
    }
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        if (adaptor_.isNull())
            return false;
        QList<QVariant> arguments = message.arguments();
        if (!screenArguments(message, arguments))
            return adaptor_->handleMessage(message, connection);
        // The copy answers as the call itself: the reply goes to its sender.
        QDBusMessage screened = message;
        screened.setArguments(arguments);
        return adaptor_->handleMessage(screened, connection);
    }

private:
    QPointer<QDBusVirtualObject> adaptor_;
};

// Qt registers its adaptor on the accessibility bus, on a connection it names "a11y", once
// assistive technology is found to be active.
void placeScreen()
{
    QDBusConnection connection(QStringLiteral("a11y"));
    auto *adaptor = qobject_cast<QDBusVirtualObject *>(connection.objectRegisteredAt(AdaptorPath));
    if (adaptor == nullptr || dynamic_cast<AdaptorScreen *>(adaptor) != nullptr)
        return;
    auto *screen = new AdaptorScreen(adaptor);
    connection.unregisterObject(AdaptorPath);
    if (!connection.registerVirtualObject(AdaptorPath, screen, QDBusConnection::SubPath)) {
        delete screen;
        connection.registerVirtualObject(AdaptorPath, adaptor, QDBusConnection::SubPath);
    }
}

class ScreenPlacer : public QAccessible::ActivationObserver {
public:
    void accessibilityActiveChanged(bool active) override
    {
        // Qt tells of the change just before it registers its adaptor.
        if (active && QCoreApplication::instance() != nullptr)
            QTimer::singleShot(0, QCoreApplication::instance(), &placeScreen);
    }
};

} // namespace

void guardAtSpiAdaptor()
{
    static ScreenPlacer placer;
    static const bool installed = [] {
        QAccessible::installActivationObserver(&placer);
        placer.accessibilityActiveChanged(QAccessible::isActive());
        return true;
    }();
    (void)installed;
}

} // namespace tessfield
