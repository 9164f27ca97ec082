#pragma once

// An entry box: a plain single-line text box. A class of its own so that assistive
// technology gets the text interface of ui_accessible.h, which reads the whole value as one
// run where Qt's own answers with an empty run (and Orca then reads "1" for "10"), so that
// a screen reader hears one reading per entry the focus comes to, and so that its undo
// history stays bounded: Qt's line edit keeps a step for every character taken out or put
// in, for as long as it lives.

#include <QLineEdit>

namespace tessfield {

// The longest text an entry box holds. The number reader takes blanks, a sign, digits, a
// point and an exponent; the longest number a player could mean is a game ID written out in
// full, the largest finite one being 309 digits (and the smallest, 0.000...1, about as
// long). 1024 holds either with room to spare, and caps what a paste costs: Qt's line edit
// keeps an undo step for every character it takes in.
inline constexpr int EntryMaxLength = 1024;

class Entry : public QLineEdit {
    Q_OBJECT

public:
    Entry(const QString &text, QWidget *parent);

    // Where the text cursor stands, in the entry's coordinates.
    QRect caretRect() const { return cursorRect(); }

protected:
    bool event(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void forgetOlderChanges(const QString &before);

    // The changes the player has made, as textEdited counts them.
    int changes_ = 0;
    // An upper estimate of the characters the undo history holds.
    int history_ = 0;
    bool focusedBefore_ = false;
};

} // namespace tessfield
