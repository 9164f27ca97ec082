// What the window tells and offers a player who has read nothing: each entry's range in the
// words of its refusal, the buttons' purpose, and the desktop's keys to quit and to close.

#include "board/entries.h"
#include "ui/form1.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <array>
#include <string_view>

namespace tessfield {
namespace {

QString words(std::string_view refusal)
{
    return QString::fromUtf8(refusal.data(), static_cast<qsizetype>(refusal.size()));
}

TEST(Guidance, EachEntrySaysWhatItAcceptsAndEachButtonWhatItDoes)
{
    Form1 form;
    const std::array<std::string_view, 4> refusal = {refusals::Rows, refusals::Columns,
                                                     refusals::Mines, refusals::GameId};
    for (int entry = 1; entry <= 4; ++entry)
        EXPECT_TRUE(form.entry(entry)->toolTip().startsWith(
            words(refusal.at(static_cast<std::size_t>(entry - 1)))))
            << "Text" << entry << ": " << form.entry(entry)->toolTip().toStdString();
    for (int entry : {1, 2})
        EXPECT_TRUE(form.entry(entry)->toolTip().contains(words(refusals::Cells))) << entry;
    for (int button : {0, 1})
        EXPECT_FALSE(form.setupButton(button)->toolTip().isEmpty()) << "setup(" << button << ")";
}

TEST(Guidance, CtrlQAndCtrlWCloseTheWindowWhereverTheFocusIs)
{
    for (const Qt::Key key : {Qt::Key_Q, Qt::Key_W}) {
        for (int entry : {1, 4}) {
            Form1 form;
            form.show();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
            form.entry(entry)->setFocus();
            QTest::keyClick(form.entry(entry), key, Qt::ControlModifier);
            EXPECT_FALSE(form.isVisible()) << "Ctrl+" << char(key) << " in Text" << entry;
        }
    }
}

} // namespace
} // namespace tessfield
