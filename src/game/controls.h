#pragma once

// The window's controls as the game sees them: the narrow set of things the setup sequence
// reads and changes, so that the rules run and are tested without a window.

#include <array>
#include <string>
#include <string_view>

namespace tessfield {

// The setup buttons' captions in the ready state, by index, and while a setup runs.
inline constexpr std::array<std::string_view, 2> SetupCaptions = {"Test Code", "Play Game"};
inline constexpr std::string_view BusyCaption = "Please wait";

class WindowControls {
public:
    virtual ~WindowControls() = default;

    // Entry boxes Text1..Text4: rows, columns, mines, game ID.
    virtual std::string entryText(int entry) const = 0;
    virtual void setEntryEnabled(int entry, bool enabled) = 0;
    // The setup buttons: 0 is "Test Code", 1 is "Play Game".
    virtual void setSetupEnabled(int index, bool enabled) = 0;
    virtual void setSetupCaption(int index, std::string_view caption) = 0;
    virtual void focusSetup(int index) = 0;
    virtual void setStatusText(std::string_view text) = 0;
    // The main window's outer size, frame and title bar included.
    virtual void setOuterSize(float widthTwips, float heightTwips) = 0;
};

} // namespace tessfield
