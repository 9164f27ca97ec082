#include "entry.h"

#include "ui/ui_accessible.h"

#include <QSignalBlocker>

#include <algorithm>

namespace tessfield {

namespace {

// The characters of change the undo history holds before all but the last change are
// forgotten: sixteen pastes over a full entry, far more than typing a number takes.
constexpr int HistoryCharacters = 16 * EntryMaxLength;

} // namespace

Entry::Entry(const QString &text, QWidget *parent) : QLineEdit(text, parent)
{
    // Assistive technology must find the whole-value text interface from the start.
    installUiAccessibility();
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

} // namespace tessfield
