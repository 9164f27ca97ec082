#pragma once

// How the window and its status line appear to assistive technology (AT-SPI on Linux): the
// window as a window named by its title, the status line as a status bar named by its text,
// and each entry as a text named by its label whose value reads as one run. The buttons
// need nothing of their own: Qt names a button by its caption. The board's table lives in
// view/board_accessible.h.

namespace tessfield {

// Makes Qt build these interfaces and the board's, and screens what clients ask of Qt's
// AT-SPI adaptor. Called once at start-up, before the window is made, so that each control's
// first accessible interface is already its own; does its work once per process.
void installUiAccessibility();

} // namespace tessfield
