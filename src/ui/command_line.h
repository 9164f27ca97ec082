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

// A QT_SCALE_FACTOR that is not a positive number (Qt would show no window at 0 and one of
// tens of thousands of pixels below it) is taken out of the environment before Qt reads it;
// the one line that says so, or nothing.
std::string dropUnusableScaleFactor();

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
};

} // namespace tessfield
