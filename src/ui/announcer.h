#pragma once

// Speaks a short message through the screen reader, whatever has the focus: the result of a
// press on the board, the board a setup built, the reason a setup was refused.
//
// Each message is a notification of the status line that appears as it is posted. A screen
// reader says a status bar's notification in its own words, without a role name, once per
// appearance, and keeps it in its list of notifications; no other event reaches Orca from a
// table cell or a control without the focus. Each message is an object of its own, so a
// client that reads it after the next one was posted still hears its own words.

#include <QAccessible>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <deque>

namespace tessfield {

class Announcer {
public:
    // host is the widget whose notifications the messages are: the status line.
    explicit Announcer(QWidget *host) : host_(host) {}
    ~Announcer();
    Announcer(const Announcer &) = delete;
    Announcer &operator=(const Announcer &) = delete;

    // Posts the message once the window has done what it has queued, its paint included;
    // does nothing while no assistive technology listens, or for an empty text. A screen
    // reader gives up on a question left unanswered for most of a second, and Orca then drops
    // every event it hears of meanwhile: on a loaded machine a large board's setup or flood
    // and its paint take that long, and a message posted before them was lost.
    void announce(const QString &text);

private:
    void post(const QString &text);

    // A client reads a message some time after it appears, and one that falls behind (a
    // key held down posts thirty a second) should still find it; each costs a few hundred
    // bytes.
    static constexpr std::size_t Kept = 64;

    QPointer<QWidget> host_;
    std::deque<QAccessible::Id> posted_;
};

} // namespace tessfield
