#include "entry.h"

#include <QSignalBlocker>

#include <algorithm>
#include <QAccessible>
#include <QFocusEvent>

namespace tessfield {

namespace {

// The characters of change the undo history holds before all but the last change are
// forgotten: sixteen pastes over a full entry, far more than typing a number takes.
constexpr int HistoryCharacters = 16 * EntryMaxLength;
// While one lives, the selection and cursor events of one entry do not reach assistive
// technology; every other event goes on as usual.
class QuietSelection {
public:
    explicit QuietSelection(const QObject *entry)
    {
        if (!QAccessible::isActive() || quiet_ != nullptr)
            return;
        quiet_ = entry;
        passOn_ = QAccessible::installUpdateHandler(&filter);
    }
    ~QuietSelection()
    {
        if (quiet_ == nullptr)
            return;
        QAccessible::installUpdateHandler(passOn_);
        quiet_ = nullptr;
    }
    QuietSelection(const QuietSelection &) = delete;
    QuietSelection &operator=(const QuietSelection &) = delete;

private:
    static void filter(QAccessibleEvent *event)
    {
        const QAccessible::Event type = event->type();
        if ((type == QAccessible::TextSelectionChanged || type == QAccessible::TextCaretMoved)
            && event->object() == quiet_)
            return;
        // Sent again as if this filter were not there: Qt has no other way on to the bridge.
        QAccessible::installUpdateHandler(passOn_);
        QAccessible::updateAccessibility(event);
        QAccessible::installUpdateHandler(&filter);
    }

    static inline const QObject *quiet_ = nullptr;
    static inline QAccessible::UpdateHandler passOn_ = nullptr;
};

} // namespace

Entry::Entry(const QString &text, QWidget *parent) : QLineEdit(text, parent)
{
    connect(this, &QLineEdit::textEdited, this, [this] { ++changes_; });
}

bool Entry::event(QEvent *event)
{
    // Every change the player makes (keys, input methods, the mouse's paste and drop, the
    // context menu) comes in an event.
    const int changes = changes_;
    const QString before = text();
    const auto selected = static_cast<qsizetype>(selectionLength());
    const bool handled = QLineEdit::event(event);
    if (changes_ != changes) {
        // What the change took out (the selection, or as much as a deletion shortened the
        // text) and put in: the line edit keeps a step for each such character.
        const qsizetype removed = std::max(selected, before.size() - text().size());
        history_ += static_cast<int>(removed + text().size() - (before.size() - removed));
        if (history_ > HistoryCharacters)
            forgetOlderChanges(before);
    }
    return handled;
}

void Entry::forgetOlderChanges(const QString &before)
{
    // The line edit can only forget its whole history (setText does): the last change is
    // made again on the fresh history, so that Ctrl+Z still takes it back.
    const QString now = text();
    const int cursor = cursorPosition();
    const int start = selectionStart();
    const int length = selectionLength();
    const bool modified = isModified();
    {
        const QSignalBlocker quiet(this);
        setText(before);
        selectAll();
        insert(now);
    }
    if (length > 0 && cursor == start)
        setSelection(start + length, -length);
    else if (length > 0)
        setSelection(start, length);
    else
        setCursorPosition(cursor);
    setModified(modified);
    history_ = static_cast<int>(before.size() + now.size());
}

// Qt selects the whole value when Tab brings the focus, and tells screen readers of that
// selection before it tells them of the focus: Orca then says the value as a selection ("15",
// "selected") and again as the entry's ("columns text. 15 selected."). The selection is made
// all the same but not told: a client reads it with the focused entry, which Qt tells once
// this handler has returned. The window's opening gives the first entry its value selected
// too, as Tab would, so that typing replaces it and it is read the same way.
void Entry::focusInEvent(QFocusEvent *event)
{
    const QuietSelection quiet(this);
    QLineEdit::focusInEvent(event);
    if (!focusedBefore_ && event->reason() == Qt::ActiveWindowFocusReason)
        selectAll();
    focusedBefore_ = true;
}

// Qt drops the selection as the focus leaves, and tells screen readers while the entry still
// has the focus for them, so Orca said "Text unselected." before naming the next control.
// Nothing a player needs: the selection is dropped untold.
void Entry::focusOutEvent(QFocusEvent *event)
{
    const QuietSelection quiet(this);
    QLineEdit::focusOutEvent(event);
}

} // namespace tessfield
