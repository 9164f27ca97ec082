#pragma once

// The window's controls without a window: keeps their current state, and what it was at
// each status text, so tests can check what the player saw during a setup as well as after.

#include "game/controls.h"

#include <array>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tessfield::fixtures {

class FakeControls final : public WindowControls {
public:
    struct State {
        std::array<bool, 2> setupEnabled{true, true};
        std::array<std::string, 2> captions{"Test Code", "Play Game"};
        std::array<bool, 4> entryEnabled{true, true, true, true};
        int focus = -1;
        std::string status;
        bool operator==(const State &) const = default;
    };

    // The window's designed entries: rows, columns, mines, game ID.
    std::array<std::string, 4> entries{"10", "15", "45", "11540"};
    State state;
    std::vector<std::string> statusHistory;
    std::vector<State> stateAtEachStatus;
    std::vector<std::pair<float, float>> outerSizes;

    void setEntries(std::string rows, std::string columns, std::string mines, std::string id)
    {
        entries = {std::move(rows), std::move(columns), std::move(mines), std::move(id)};
    }

    void forgetHistory()
    {
        statusHistory.clear();
        stateAtEachStatus.clear();
        outerSizes.clear();
    }

    // Buttons and entries enabled, the captions restored, focus on "Play Game".
    bool isReady() const
    {
        return state.setupEnabled == std::array{true, true}
            && state.captions == std::array<std::string, 2>{"Test Code", "Play Game"}
            && state.entryEnabled == std::array{true, true, true, true} && state.focus == 1;
    }

    static bool isBusy(const State &s)
    {
        return s.setupEnabled == std::array{false, false}
            && s.captions == std::array<std::string, 2>{"Please wait", "Please wait"}
            && s.entryEnabled == std::array{false, false, false, false};
    }

    std::string entryText(int entry) const override
    {
        return entries.at(static_cast<std::size_t>(entry - 1));
    }

    void setEntryEnabled(int entry, bool enabled) override
    {
        state.entryEnabled.at(static_cast<std::size_t>(entry - 1)) = enabled;
    }

    void setSetupEnabled(int index, bool enabled) override
    {
        state.setupEnabled.at(static_cast<std::size_t>(index)) = enabled;
    }

    void setSetupCaption(int index, std::string_view caption) override
    {
        state.captions.at(static_cast<std::size_t>(index)) = caption;
    }

    void focusSetup(int index) override
    {
        state.focus = index;
    }

    // A status text on whose writing the machine "runs out of memory", to reach the
    // failure path of a setup that the entry checks cannot reach.
    std::string failOnStatus;

    void setStatusText(std::string_view text) override
    {
        if (!failOnStatus.empty() && text == failOnStatus)
            throw std::bad_alloc();
        state.status = text;
        statusHistory.emplace_back(text);
        stateAtEachStatus.push_back(state);
    }

    void setOuterSize(float widthTwips, float heightTwips) override
    {
        outerSizes.emplace_back(widthTwips, heightTwips);
    }
};

} // namespace tessfield::fixtures
