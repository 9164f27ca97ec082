#pragma once

// The main window shown on the offscreen platform, with what the window tests ask of it.

#include "ui/form1.h"
#include "ui/ui_accessible.h"
#include "view/board_widget.h"
#include "squares/cells.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace tessfield::fixtures {

// The accessible interfaces, installed before the window is made, as at start-up.
struct AccessibilityInstalled {
    AccessibilityInstalled() { installUiAccessibility(); }
};

class ShownForm : public ::testing::Test, AccessibilityInstalled {
protected:
    void SetUp() override
    {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }

    void press(int button) { QTest::mouseClick(form.setupButton(button), Qt::LeftButton); }

    // The controls are back where a player can use them, with the focus on "Play Game".
    void expectReady()
    {
        EXPECT_EQ(form.setupButton(0)->text(), QStringLiteral("Test Code"));
        EXPECT_EQ(form.setupButton(1)->text(), QStringLiteral("Play Game"));
        EXPECT_TRUE(form.setupButton(0)->isEnabled());
        EXPECT_TRUE(form.setupButton(1)->isEnabled());
        for (int entry = 1; entry <= 4; ++entry)
            EXPECT_TRUE(form.entry(entry)->isEnabled()) << "Text" << entry;
        EXPECT_EQ(form.focusWidget(), form.setupButton(1));
    }

    int coveredSquares()
    {
        const SquareArray &squares = form.game().squares();
        int covered = 0;
        for (Int16 k = 0; k < squares.indexLimit(); ++k)
            covered += squares.exists(k) && squares.background(k) == CoveredColour ? 1 : 0;
        return covered;
    }

    Form1 form;
};

} // namespace tessfield::fixtures
