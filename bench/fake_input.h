#pragma once

// Mouse and keyboard input sent through the X server's XTEST extension, on an X connection
// of this process's own: the server delivers it as it would a device's, and no helper
// process is forked while the clock runs (a fork costs the measured process hundreds of
// copy-on-write page faults). Kept apart from Qt's headers, which Xlib's macros break.

namespace tessfield::bench {

// Opens the connection to $DISPLAY; false when there is none or it lacks XTEST.
bool openFakeInput();
void closeFakeInput();

// Each call is flushed to the server before it returns.
void fakeMotion(int x, int y);
void fakeClick(unsigned button);
// key is an X keysym name: "Right", "space" and so on.
void fakeKey(const char *key);

} // namespace tessfield::bench
