// Reads the real X screen for the end-to-end test: saves a screenshot and reports what each
// cell of a board looks like, so a shell script can drive the program with xdotool and check
// the result.
//
//   x_probe grab OUT.png [X Y WIDTH HEIGHT]
//   x_probe cells OUT.png LEFT TOP CELL COLUMNS ROWS
//   x_probe ink OUT.png X Y WIDTH HEIGHT
//   x_probe box IMAGE.png
//   x_probe close WINDOW
//   x_probe state WINDOW add|remove maximized|fullscreen|above
//   x_probe clip FILE
//
// "grab" saves the whole screen, or the given rectangle of it (a window's geometry).
//
// "cells" prints one letter per cell, a row per line: C covered, F covered with a white
// flag mark, R uncovered, M uncovered mine, ? anything else; in lower case for the cell that
// wears the keyboard's focus frame (a black outer ring and a white inner one, a pixel each).
//
// "ink" prints how many pixels of the rectangle differ from the window's grey: 0 for an empty
// part of the window, more where something is drawn or the rectangle leaves the window.
//
// "state" asks the window manager to maximize a window (both ways) or make it full screen,
// or to keep it above other windows, or to undo that, the way a title-bar button or a pager
// asks (a _NET_WM_STATE message).
//
// "clip" owns the clipboard with FILE's text, says "serving" once it does, and serves it until
// it is ended.
//
// "box" reads a screenshot taken elsewhere (run it with -platform offscreen) and prints
// "X Y WIDTH HEIGHT" of what differs from its top-left pixel: one window on a plain desktop.

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <X11/Xlib.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

QRgb rgb(const QImage &image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFFU;
}

bool framed(const QImage &image, int left, int top, int cell)
{
    const int last = cell - 1;
    return rgb(image, left, top) == 0U && rgb(image, left + 1, top + 1) == 0xFFFFFFU
        && rgb(image, left + last, top + last) == 0U
        && rgb(image, left + last - 1, top + last - 1) == 0xFFFFFFU;
}

char look(const QImage &image, int left, int top, int cell)
{
    // The bottom-right corner inside the edge is never covered by a glyph or the frame.
    const QRgb quiet = rgb(image, left + cell - 3, top + cell - 3);
    switch (quiet) {
    case 0x404040U: {
        for (int y = top + 2; y < top + cell - 2; ++y)
            for (int x = left + 2; x < left + cell - 2; ++x)
                if (rgb(image, x, y) == 0xFFFFFFU)
                    return 'F';
        return 'C';
    }
    case 0xC0C0C0U:
        return 'R';
    case 0xFF8080U:
        return 'M';
    default:
        return '?';
    }
}

char classify(const QImage &image, int left, int top, int cell)
{
    const char letter = look(image, left, top, cell);
    return framed(image, left, top, cell) ? static_cast<char>(std::tolower(letter)) : letter;
}

// Asks a window to close the way a window manager's close button does (WM_DELETE_WINDOW),
// so the program ends normally and its exit status, and the sanitizers' leak check, count.
int closeWindow(const char *id)
{
    Display *display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("x_probe: cannot open the display\n", stderr);
        return 1;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = std::strtoul(id, nullptr, 0);
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    XCloseDisplay(display);
    return sent != 0 ? 0 : 1;
}

int changeState(const char *id, const std::string &how, const std::string &what)
{
    Display *display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("x_probe: cannot open the display\n", stderr);
        return 1;
    }
    const auto atom = [display](const char *name) {
        return static_cast<long>(XInternAtom(display, name, False));
    };
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = std::strtoul(id, nullptr, 0);
    event.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = how == "add" ? 1 : 0;
    if (what == "fullscreen") {
        event.xclient.data.l[1] = atom("_NET_WM_STATE_FULLSCREEN");
    } else if (what == "above") {
        event.xclient.data.l[1] = atom("_NET_WM_STATE_ABOVE");
    } else {
        event.xclient.data.l[1] = atom("_NET_WM_STATE_MAXIMIZED_VERT");
        event.xclient.data.l[2] = atom("_NET_WM_STATE_MAXIMIZED_HORZ");
    }
    event.xclient.data.l[3] = 1; // from an application, as a pager would send it
    const Status sent = XSendEvent(display, DefaultRootWindow(display), False,
                                   SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XCloseDisplay(display);
    return sent != 0 ? 0 : 1;
}

int printBox(const QString &path)
{
    const QImage image = QImage(path).convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) {
        std::fprintf(stderr, "x_probe: cannot read %s\n", qPrintable(path));
        return 1;
    }
    const QRgb desktop = image.pixel(0, 0);
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != desktop)
                box |= QRect(x, y, 1, 1);
    std::printf("%d %d %d %d\n", box.x(), box.y(), box.width(), box.height());
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 3 && std::string(argv[1]) == "close")
        return closeWindow(argv[2]);
    if (argc == 5 && std::string(argv[1]) == "state")
        return changeState(argv[2], argv[3], argv[4]);
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() == 3 && args.at(1) == QLatin1String("clip")) {
        QFile file(args.at(2));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "x_probe: cannot read %s\n", qPrintable(args.at(2)));
            return 1;
        }
        QGuiApplication::clipboard()->setText(QString::fromUtf8(file.readAll()));
        std::puts("serving");
        std::fflush(stdout);
        return QGuiApplication::exec();
    }
    if (args.size() < 3) {
        std::fputs("usage: x_probe grab OUT.png [X Y WIDTH HEIGHT] | cells OUT.png LEFT TOP CELL "
                   "COLUMNS ROWS | ink OUT.png X Y WIDTH HEIGHT | box IMAGE.png\n",
                   stderr);
        return 2;
    }
    if (args.at(1) == QLatin1String("box"))
        return printBox(args.at(2));
    const bool ink = args.at(1) == QLatin1String("ink");
    const bool cropped = (ink || args.at(1) == QLatin1String("grab")) && args.size() == 7;
    QScreen *screen = QGuiApplication::primaryScreen();
    const QPixmap pixmap = cropped ? screen->grabWindow(0, args.at(3).toInt(), args.at(4).toInt(),
                                                        args.at(5).toInt(), args.at(6).toInt())
                                   : screen->grabWindow(0);
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_RGB32);
    if (!image.save(args.at(2))) {
        std::fprintf(stderr, "x_probe: cannot write %s\n", qPrintable(args.at(2)));
        return 1;
    }
    if (args.at(1) == QLatin1String("grab"))
        return 0;
    if (ink && cropped) {
        long drawn = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                drawn += (image.pixel(x, y) & 0xFFFFFFU) != 0xC0C0C0U ? 1 : 0;
        std::printf("%ld\n", drawn);
        return 0;
    }
    if (args.at(1) != QLatin1String("cells") || args.size() != 8)
        return 2;
    const int left = args.at(3).toInt();
    const int top = args.at(4).toInt();
    const int cell = args.at(5).toInt();
    const int columns = args.at(6).toInt();
    const int rows = args.at(7).toInt();
    for (int row = 0; row < rows; ++row) {
        std::string line;
        for (int column = 0; column < columns; ++column)
            line += classify(image, left + column * cell, top + row * cell, cell);
        std::puts(line.c_str());
    }
    return 0;
}
