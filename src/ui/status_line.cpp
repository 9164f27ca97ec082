#include "status_line.h"

#include "ui/ui_accessible.h"

namespace tessfield {

StatusLine::StatusLine(QWidget *parent) : QLabel(parent)
{
    // Assistive technology must see it as a status bar from its first text on.
    installUiAccessibility();
}

} // namespace tessfield
