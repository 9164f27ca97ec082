#include "fake_input.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace tessfield::bench {

namespace {

Display *display = nullptr;

} // namespace

bool openFakeInput()
{
    display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return false;
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    if (XTestQueryExtension(display, &event, &error, &major, &minor) == False) {
        closeFakeInput();
        return false;
    }
    return true;
}

void closeFakeInput()
{
    if (display != nullptr)
        XCloseDisplay(display);
    display = nullptr;
}

void fakeMotion(int x, int y)
{
    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
    XFlush(display);
}

void fakeClick(unsigned button)
{
    XTestFakeButtonEvent(display, button, True, CurrentTime);
    XTestFakeButtonEvent(display, button, False, CurrentTime);
    XFlush(display);
}

void fakeKey(const char *key)
{
    const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(key));
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XFlush(display);
}

} // namespace tessfield::bench
