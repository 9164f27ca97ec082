#include "setup_button.h"

#include "ui/ui_accessible.h"

namespace tessfield {

SetupButton::SetupButton(const QString &caption, QWidget *parent) : QPushButton(caption, parent)
{
    installUiAccessibility();
}

} // namespace tessfield
