#include "command_line.h"

#include <QGuiApplication>
#include <QString>
#include <QtGlobal>

#include <unistd.h>

#include <QByteArray>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace tessfield {

namespace {

using namespace std::string_view_literals;

// The scales at which the window is usable, as factors of the designed size: from half
// (text of 6 pixels on a screen of 96 dots per inch) to sixteen times (the opening window
// still fits a screen 8K pixels wide).
constexpr double LeastScale = 0.5;
constexpr double MostScale = 16;

// The Qt options that the manual page names, each followed by its value; Qt takes them with
// one dash or two, and so does the program. "session" is not for people: a session manager
// restarts the program with it.
constexpr std::array QtOptionsWithValue = {"platform"sv, "display"sv, "qwindowgeometry"sv,
                                           "style"sv, "session"sv};

constexpr const char *Usage =
    "Usage: tessfield [OPTION]...\n"
    "Find the hidden mines in a field of covered cells.\n"
    "\n"
    "  -h, --help                 show this help and exit\n"
    "      --version              show the version and exit\n"
    "\n"
    "Qt options (with one dash or two):\n"
    "  -platform NAME             the Qt platform to run on, such as xcb or wayland\n"
    "  -display DISPLAY           the X11 display to open (xcb only)\n"
    "  -qwindowgeometry GEOMETRY  the window's place on the screen, as +X+Y\n"
    "  -style STYLE               the widget style, such as Fusion or Windows\n"
    "\n"
    "See tessfield(6) for how to play.\n";

std::string_view withoutDashes(std::string_view arg)
{
    if (arg.substr(0, 2) == "--")
        return arg.substr(2);
    return arg.substr(1);
}

// An argument or a value as a message shows it: whole unless it is longer than a line can
// show, when its start stands for it (cut between characters, not inside one).
std::string shown(std::string_view text)
{
    constexpr std::size_t Shown = 60;
    if (text.size() <= Shown)
        return std::string(text);
    std::size_t cut = Shown;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0U) == 0x80U)
        --cut;
    return std::string(text.substr(0, cut)) + "...";
}

std::string quoted(std::string_view arg)
{
    return "'" + shown(arg) + "'";
}

CommandLineReply refuse(const std::string &what)
{
    return {2, {}, "tessfield: " + what + "; try 'tessfield --help'\n"};
}

// The value an option of Qt's was given, or of the environment variable when there is none.
std::string chosen(int argc, const char *const argv[], std::string_view option, const char *variable)
{
    std::string value;
    for (int i = 1; i + 1 < argc; ++i)
        if (argv[i][0] == '-' && withoutDashes(argv[i]) == option)
            value = argv[i + 1];
    if (value.empty() && variable != nullptr && std::getenv(variable) != nullptr)
        value = std::getenv(variable);
    return value;
}

struct HeldMessage {
    QtMsgType type;
    std::optional<std::string> category;
    QString text;
};

// The guard's state, reached from Qt's message handler, which takes no argument of ours.
struct GuardState {
    std::string failureLine;
    std::vector<HeldMessage> held;
    QtMessageHandler previous = nullptr;
    // Standard error as it was, while the libraries under Qt (libxcb, libwayland) write
    // straight to the file that stands in for it; -1 when none could be made.
    int savedStderr = -1;
    std::FILE *libraryOutput = nullptr;
};

// Gives standard error back, and with it what the libraries wrote meanwhile unless the start
// failed (then the failure's one line says it all).
void restoreStderr(GuardState &state, bool passOn)
{
    if (state.savedStderr < 0)
        return;
    std::fflush(stderr);
    dup2(state.savedStderr, STDERR_FILENO);
    close(state.savedStderr);
    state.savedStderr = -1;
    if (passOn) {
        std::rewind(state.libraryOutput);
        std::array<char, 4096> buffer{};
        std::size_t got = 0;
        while ((got = std::fread(buffer.data(), 1, buffer.size(), state.libraryOutput)) > 0)
            std::fwrite(buffer.data(), 1, got, stderr);
    }
    std::fclose(state.libraryOutput);
    state.libraryOutput = nullptr;
}
std::optional<GuardState> activeGuard;

[[noreturn]] void failStart()
{
    restoreStderr(*activeGuard, false);
    std::fputs(activeGuard->failureLine.c_str(), stderr);
    std::_Exit(1);
}

void holdOrFail(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    // Qt aborts after this handler returns; a missing display is no crash.
    if (type == QtFatalMsg)
        failStart();
    std::optional<std::string> category;
    if (context.category != nullptr)
        category = context.category;
    activeGuard->held.push_back({type, std::move(category), text});
}

std::string describeFailure(int argc, const char *const argv[])
{
    const std::string platform = chosen(argc, argv, "platform", "QT_QPA_PLATFORM");
    const std::string xDisplay = chosen(argc, argv, "display", nullptr);
    const char *display = std::getenv("DISPLAY");
    const char *wayland = std::getenv("WAYLAND_DISPLAY");
    const auto set = [](const char *value) { return value != nullptr && *value != '\0'; };
    if (platform.empty() && xDisplay.empty() && !set(display) && !set(wayland))
        return "tessfield needs a graphical display: run it in a desktop session "
               "(DISPLAY or WAYLAND_DISPLAY is not set)\n";
    std::string line = platform.empty() ? "tessfield: cannot open the display ("
                                        : "tessfield: cannot start the Qt platform \"" + shown(platform) + "\" (";
    line += !xDisplay.empty() ? "-display " + shown(xDisplay)
                              : set(display) ? "DISPLAY=" + shown(display) : "DISPLAY not set";
    line += set(wayland) ? ", WAYLAND_DISPLAY=" + shown(wayland) : ", WAYLAND_DISPLAY not set";
    return line + ")\n";
}

} // namespace

const char *programVersion()
{
    return TESSFIELD_VERSION;
}

std::optional<CommandLineReply> answerCommandLine(int argc, const char *const argv[])
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help")
            return CommandLineReply{0, Usage, {}};
        if (arg == "--version")
            return CommandLineReply{0, std::string("tessfield ") + programVersion() + "\n", {}};
    }
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.size() < 2 || arg[0] != '-')
            return refuse("unexpected argument " + quoted(arg));
        bool known = false;
        for (const std::string_view option : QtOptionsWithValue)
            known = known || withoutDashes(arg) == option;
        if (!known)
            return refuse("unknown option " + quoted(arg));
        if (i + 1 >= argc)
            return refuse("option " + quoted(arg) + " needs a value");
        ++i;
    }
    return std::nullopt;
}

std::string dropUnusableScaling()
{
    std::string lines;
    // Drops the variable, with a line that says so, when its value parses but is unusable.
    const auto check = [&lines](const char *variable, const auto &usable, const char *wanted) {
        const char *value = std::getenv(variable);
        if (value == nullptr || *value == '\0' || usable(QByteArray(value)))
            return;
        lines += "tessfield: ignoring " + std::string(variable) + " " + quoted(value) + ", which is not "
            + wanted + "\n";
        unsetenv(variable);
    };
    // What Qt would not read as a number it leaves alone, and so does this.
    const auto scale = [](const QByteArray &text) {
        bool number = false;
        const double factor = text.toDouble(&number);
        return !number || (factor >= LeastScale && factor <= MostScale);
    };
    check("QT_SCALE_FACTOR", scale, "a scale from 0.5 to 16");
    // "FACTOR;FACTOR..." or "SCREEN=FACTOR;...", a factor for each screen.
    check("QT_SCREEN_SCALE_FACTORS", [&scale](const QByteArray &text) {
        const QList<QByteArray> screens = text.split(';');
        return std::all_of(screens.begin(), screens.end(), [&scale](const QByteArray &screen) {
            return scale(screen.mid(screen.lastIndexOf('=') + 1));
        });
    }, "a list of scales from 0.5 to 16");
    // Qt reads a whole number, as C writes it.
    check("QT_FONT_DPI", [](const QByteArray &text) {
        bool number = false;
        const int dpi = text.toInt(&number, 0);
        return !number || (dpi >= LeastScale * 96 && dpi <= MostScale * 96);
    }, "a resolution from 48 to 1536 dots per inch");
    return lines;
}

void DisplayGuard::requireScreen() const
{
    // A platform may start with no screen at all (linuxfb without a framebuffer), and Qt
    // then aborts at the first window.
    if (QGuiApplication::primaryScreen() == nullptr)
        failStart();
}

DisplayGuard::DisplayGuard(int argc, const char *const argv[])
{
    activeGuard.emplace(GuardState{describeFailure(argc, argv), {}, nullptr});
    if (std::FILE *file = std::tmpfile(); file != nullptr) {
        std::fflush(stderr);
        activeGuard->savedStderr = dup(STDERR_FILENO);
        if (activeGuard->savedStderr >= 0 && dup2(fileno(file), STDERR_FILENO) >= 0) {
            activeGuard->libraryOutput = file;
        } else {
            if (activeGuard->savedStderr >= 0)
                close(activeGuard->savedStderr);
            activeGuard->savedStderr = -1;
            std::fclose(file);
        }
    }
    activeGuard->previous = qInstallMessageHandler(holdOrFail);
}

DisplayGuard::~DisplayGuard()
{
    qInstallMessageHandler(activeGuard->previous);
    restoreStderr(*activeGuard, true);
    const std::vector<HeldMessage> held = std::move(activeGuard->held);
    activeGuard.reset();
    for (const HeldMessage &message : held) {
        const QMessageLogContext context(nullptr, 0, nullptr,
                                         message.category ? message.category->c_str() : nullptr);
        qt_message_output(message.type, context, message.text);
    }
}

} // namespace tessfield
