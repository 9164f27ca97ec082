#include "ui_accessible.h"

#include "ui/atspi_guard.h"
#include "ui/entry.h"
#include "ui/setup_button.h"
#include "ui/form1.h"
#include "ui/status_line.h"
#include "view/board_accessible.h"

#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QLabel>

#include <algorithm>

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

// An entry box as a text that reports one attribute run over its whole value: Orca reads a
// field's value run by run, and an empty run (Qt's answer for a line edit) cuts it to its
// first characters. Everything else is read from the line edit as it stands.
class EntryAccessible : public QAccessibleWidget,
                        public QAccessibleTextInterface,
                        public QAccessibleEditableTextInterface {
public:
    explicit EntryAccessible(Entry *entry) : QAccessibleWidget(entry, QAccessible::EditableText) {}

    Entry *entry() const { return static_cast<Entry *>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return entry()->text();
        if (t == QAccessible::Name && entry()->accessibleName().isEmpty()) {
            // Named by the label whose buddy it is, as the window pairs them.
            const auto labels = entry()->parentWidget()->findChildren<QLabel *>(Qt::FindDirectChildrenOnly);
            for (const QLabel *label : labels) {
                if (label->buddy() == entry())
                    return label->text();
            }
        }
        // Not the tooltip, which Qt would offer and a screen reader read at every focus.
        if (t == QAccessible::Description)
            return entry()->accessibleDescription();
        return QAccessibleWidget::text(t);
    }
    void setText(QAccessible::Text t, const QString &text) override
    {
        if (t == QAccessible::Value)
            entry()->setText(text);
        else
            QAccessibleWidget::setText(t, text);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = !entry()->isReadOnly();
        state.readOnly = entry()->isReadOnly();
        state.selectableText = true;
        return state;
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // QAccessibleTextInterface
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
        if (selectionIndex == 0 && entry()->hasSelectedText()) {
            *startOffset = entry()->selectionStart();
            *endOffset = entry()->selectionEnd();
        }
    }
    int selectionCount() const override { return entry()->hasSelectedText() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override
    {
        setSelection(0, startOffset, endOffset);
    }
    void removeSelection(int selectionIndex) override
    {
        if (selectionIndex == 0)
            entry()->deselect();
    }
    void setSelection(int selectionIndex, int startOffset, int endOffset) override
    {
        // The ends are anything a client sends: taken into the text before they are
        // subtracted, which the line edit would otherwise do with their sum.
        const int length = characterCount();
        if (selectionIndex == 0) {
            startOffset = std::clamp(startOffset, 0, length);
            endOffset = std::clamp(endOffset, 0, length);
            entry()->setSelection(startOffset, endOffset - startOffset);
        }
    }
    int cursorPosition() const override { return entry()->cursorPosition(); }
    void setCursorPosition(int position) override { entry()->setCursorPosition(position); }
    QString text(int startOffset, int endOffset) const override
    {
        const QString all = entry()->text();
        startOffset = std::clamp(startOffset, 0, static_cast<int>(all.size()));
        endOffset = endOffset < 0 ? static_cast<int>(all.size()) : std::clamp(endOffset, startOffset, static_cast<int>(all.size()));
        return all.mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(entry()->text().size()); }
    QRect characterRect(int offset) const override
    {
        // Measured from the cursor, which knows where the line edit has scrolled its text.
        const QString all = entry()->text();
        if (offset < 0 || offset >= all.size())
            return {};
        const QFontMetrics metrics(entry()->font());
        const QRect cursor = entry()->caretRect();
        const int x = cursor.center().x() + metrics.horizontalAdvance(all.left(offset))
            - metrics.horizontalAdvance(all.left(entry()->cursorPosition()));
        const QRect local(x, cursor.top(), metrics.horizontalAdvance(all.at(offset)), cursor.height());
        return {entry()->mapToGlobal(local.topLeft()), local.size()};
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        // In floating point, then brought next to the box: the point may be anywhere an int
        // reaches, and the offset from the box need not fit in one. Beyond either end of the
        // box the answer is that end's offset.
        const QPointF local = entry()->mapFromGlobal(QPointF(point));
        return entry()->cursorPositionAt(
            QPoint(static_cast<int>(std::clamp(local.x(), -1.0, entry()->width() + 1.0)),
                   static_cast<int>(std::clamp(local.y(), -1.0, entry()->height() + 1.0))));
    }
    void scrollToSubstring(int startIndex, int endIndex) override
    {
        entry()->setCursorPosition(endIndex);
        entry()->setCursorPosition(startIndex);
    }
    QString attributes(int /*offset*/, int *startOffset, int *endOffset) const override
    {
        // The whole value is written in one font and colour: one run, with nothing to add.
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

    // QAccessibleEditableTextInterface
    void deleteText(int startOffset, int endOffset) override { replaceText(startOffset, endOffset, {}); }
    void insertText(int offset, const QString &text) override { replaceText(offset, offset, text); }
    void replaceText(int startOffset, int endOffset, const QString &text) override
    {
        QString all = entry()->text();
        startOffset = std::clamp(startOffset, 0, static_cast<int>(all.size()));
        endOffset = std::clamp(endOffset, startOffset, static_cast<int>(all.size()));
        entry()->setText(all.replace(startOffset, endOffset - startOffset, text));
    }
};

// A setup button: named by its caption, described only by what is set for it, pressed at
// once by its action.
class SetupButtonAccessible : public QAccessibleWidget {
public:
    explicit SetupButtonAccessible(SetupButton *button) : QAccessibleWidget(button, QAccessible::Button) {}

    QPushButton *button() const { return static_cast<QPushButton *>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && button()->accessibleName().isEmpty())
            return button()->text();
        if (t == QAccessible::Description)
            return button()->accessibleDescription();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.pressed = button()->isDown();
        return state;
    }
    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (button()->isEnabled())
            names.prepend(pressAction());
        return names;
    }
    void doAction(const QString &name) override
    {
        if (name == pressAction() && button()->isEnabled())
            button()->click();
        else
            QAccessibleWidget::doAction(name);
    }
    QStringList keyBindingsForAction(const QString &name) const override
    {
        return name == pressAction() ? QStringList(QStringLiteral("Space")) : QStringList();
    }
};

// The status line is a status bar, and the main window a window (a frame in AT-SPI) named
// by its title, where Qt would otherwise offer a plain label and a plain pane.
QAccessibleInterface *uiFactory(const QString &className, QObject *object)
{
    if (object == nullptr || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String(Entry::staticMetaObject.className()))
        return new EntryAccessible(static_cast<Entry *>(object));
    if (className == QLatin1String(SetupButton::staticMetaObject.className()))
        return new SetupButtonAccessible(static_cast<SetupButton *>(object));
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
        installBoardAccessibility();
        guardAtSpiAdaptor();
        return true;
    }();
    (void)installed;
}

} // namespace tessfield
