#include "entry.h"

#include "ui/ui_accessible.h"

namespace tessfield {

Entry::Entry(const QString &text, QWidget *parent) : QLineEdit(text, parent)
{
    // Assistive technology must find the whole-value text interface from the start.
    installUiAccessibility();
}

} // namespace tessfield
