#pragma once

// A setup button ("Test Code", "Play Game"). A class of its own only so that assistive
// technology gets the button of ui_accessible.h: described by nothing but what is set for
// it (Qt would read its tooltip out at every focus, so after every setup), and pressed at
// once by its action rather than by an animated click a tenth of a second later.

#include <QPushButton>

namespace tessfield {

class SetupButton : public QPushButton {
    Q_OBJECT

public:
    SetupButton(const QString &caption, QWidget *parent) : QPushButton(caption, parent) {}
};

} // namespace tessfield
