#pragma once

// The program's command line, as a Linux program's: --help and --version answered before any
// display is opened, a mistyped option refused with one line, Qt's own options left for Qt,
// and a display that cannot be opened reported in one line instead of Qt's abort.

#include <optional>
#include <string>

namespace tessfield {

// What to print and the exit status, when the command line is answered without the window.
struct CommandLineReply {
    int status = 0;
    std::string out; // for stdout
    std::string err; // one line for stderr
};

// The program's version, as --version prints it after the name.
const char *programVersion();

// Reads the arguments (argv[0] is the program); nothing when the window should open.
std::optional<CommandLineReply> answerCommandLine(int argc, const char *const argv[]);

// A scale factor (QT_SCALE_FACTOR, QT_SCREEN_SCALE_FACTORS) or font resolution (QT_FONT_DPI)
// outside the range where the window is usable is taken out of the environment before Qt
// reads it: Qt would show a window of a few pixels, or none at all, for a tiny or a huge
// one. A line for each that says so, or nothing.
std::string dropUnusableScaling();

// While it lives, Qt's failure to open a display (or any platform) ends the program with one
// line on stderr and status 1, where Qt would abort. Qt's other messages meanwhile are held
// back and passed on when it ends, and so is what the libraries under Qt write to stderr
// themselves, so a start that fails prints nothing but that line.
class DisplayGuard {
public:
    DisplayGuard(int argc, const char *const argv[]);
    ~DisplayGuard();
    DisplayGuard(const DisplayGuard &) = delete;
    DisplayGuard &operator=(const DisplayGuard &) = delete;

    // Once the application is made: a platform that found no screen fails the same way.
    void requireScreen() const;
};

} // namespace tessfield
