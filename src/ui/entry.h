#pragma once

// An entry box: a plain single-line text box. A class of its own so that assistive
// technology gets the text interface of ui_accessible.h, which reads the whole value as one
// run where Qt's own answers with an empty run (and Orca then reads "1" for "10"), and so
// that its undo history stays bounded: Qt's line edit keeps a step for every character taken
// out or put in, for as long as it lives.

#include <QLineEdit>

namespace tessfield {

class Entry : public QLineEdit {
    Q_OBJECT

public:
    Entry(const QString &text, QWidget *parent);

    // Where the text cursor stands, in the entry's coordinates.
    QRect caretRect() const { return cursorRect(); }

protected:
    bool event(QEvent *event) override;

private:
    void forgetOlderChanges(const QString &before);

    // The changes the player has made, as textEdited counts them.
    int changes_ = 0;
    // An upper estimate of the characters the undo history holds.
    int history_ = 0;
};

} // namespace tessfield
