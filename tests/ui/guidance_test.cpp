// What the window tells and offers a player who has read nothing: each entry's range in the
// words of its refusal, the buttons' purpose, and the desktop's keys to quit and to close.

#include "board/entries.h"
#include "ui/form1.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
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
    EXPECT_EQ(form.setupButton(0)->toolTip(),
              QStringLiteral("Build the board of these entries and show it uncovered"));
    EXPECT_EQ(form.setupButton(1)->toolTip(),
              QStringLiteral("Build a new board of these entries, all covered (Return in an entry "
                             "box presses it)"));
}

// Whether the application was asked to quit, as closing its last window asks it.
class QuitSeen : public QObject {
public:
    QuitSeen() { qApp->installEventFilter(this); }
    bool seen = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        seen = seen || (watched == qApp && event->type() == QEvent::Quit);
        return false;
    }
};

// The window is the program's only one: closing it ends the program, as main() runs it, with
// status 0. A window merely hidden would leave the program running unseen.
TEST(Guidance, CtrlQAndCtrlWEndTheProgramWhereverTheFocusIs)
{
    for (const Qt::Key key : {Qt::Key_Q, Qt::Key_W}) {
        for (int entry : {1, 4}) {
            Form1 form;
            form.show();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
            form.entry(entry)->setFocus();
            QuitSeen quit; // and whatever this round leaves queued goes with it
            QTimer::singleShot(0, &quit, [&] {
                QTest::keyClick(form.entry(entry), key, Qt::ControlModifier);
                // Queued after the key's own work: a program still running then keeps running.
                QMetaObject::invokeMethod(
                    &quit, [&] { if (!quit.seen) QCoreApplication::exit(1); }, Qt::QueuedConnection);
            });
            EXPECT_EQ(QApplication::exec(), 0) << "Ctrl+" << char(key) << " in Text" << entry;
            EXPECT_FALSE(form.isVisible());
        }
    }
}

} // namespace
} // namespace tessfield
