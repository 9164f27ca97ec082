#pragma once

// The status line: a label that assistive technology sees as the window's status bar, named
// by the text it shows, so a screen reader announces progress and refusals as they appear.

#include <QLabel>

namespace tessfield {

class StatusLine : public QLabel {
    Q_OBJECT

public:
    explicit StatusLine(QWidget *parent = nullptr) : QLabel(parent) {}
};

} // namespace tessfield
