#pragma once

// What a player expects of a desktop window without reading anything: tooltips that say
// what each entry accepts and what each button does, and the usual keys to quit and close.

namespace tessfield {

class Form1;

void addGuidance(Form1 &form);

} // namespace tessfield
