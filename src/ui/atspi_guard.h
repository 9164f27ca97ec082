#pragma once

// Screens the calls that AT-SPI clients make on the program before Qt's own AT-SPI adaptor
// (Qt 6.4) answers them, where the adaptor would do work in proportion to the numbers a
// client sends rather than to what the program shows: the numbers are first brought into
// the range that exists. The program's own accessible interfaces check their arguments
// themselves; this is for the loops and sums inside Qt.

namespace tessfield {

// Puts the screen in front of Qt's adaptor whenever assistive technology is (or becomes)
// active; does its work once per process.
void guardAtSpiAdaptor();

} // namespace tessfield
