#pragma once

// The main window: four labelled entry boxes, the two setup buttons, the status line, the
// dividing line and the board, each at its designed place.
//
// The window owns the game and hands it the controls through WindowControls; it handles the
// load, a click on either setup button and a press on a square, and nothing else. Input goes
// one way: to the game, whose changes the window then hands to the board and, through it,
// to screen readers. How the window behaves towards the screen and the window manager is
// WindowManners's.

#include "game/controls.h"
#include "game/game.h"
#include "ui/window_manners.h"

#include <QFont>
#include <QHash>
#include <QWidget>

#include <array>
#include <memory>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;

namespace tessfield {

class Announcer;
class BoardWidget;

// The sentence a screen reader says once a setup is over: the refusal or failure that the
// status line shows, "Test Code: board uncovered", or the new board, "board of 8 rows by 8
// columns, 10 mines".
QString setupWords(const QString &status, int index, const Board &board);

class Form1 : public QWidget, public WindowControls {
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    const Game &game() const { return game_; }
    BoardWidget *board() const { return square_; }
    QScrollArea *boardArea() const { return boardArea_; }
    QPushButton *setupButton(int index) const { return setup_.at(static_cast<std::size_t>(index)); }
    QLineEdit *entry(int entry) const { return text_.at(static_cast<std::size_t>(entry - 1)); }
    QLabel *status() const { return status_; }

    // The window's outer size that the last board asked for, in pixels, before any limit.
    QSize requestedOuterSize() const { return manners_.requestedOuterSize().value_or(QSize()); }

    // WindowControls
    std::string entryText(int entry) const override;
    void setEntryEnabled(int entry, bool enabled) override;
    void setSetupEnabled(int index, bool enabled) override;
    void setSetupCaption(int index, std::string_view caption) override;
    void focusSetup(int index) override;
    void setStatusText(std::string_view text) override;
    void setOuterSize(float widthTwips, float heightTwips) override;

Q_SIGNALS:
    // Every text written to the status line, in order (progress messages included).
    void statusWritten(const QString &text);

private:
    // The constructor's steps, in order.
    QPalette applyFormColours();
    void createEntries(const QPalette &controlPalette);
    void createButtons(const QPalette &controlPalette);
    void createStatusLine(const QPalette &controlPalette);
    void createBoardArea(const QPalette &controlPalette);
    void orderTabs();

    // The window's two entry points into the game.
    void runSetup(int index);
    void pressSquare(int index, int button, bool cellFocused);
    // Runs a step of the game and shows what it changed. Nothing it throws leaves here: the
    // failure is told in the status line and the controls are left ready.
    template <typename Step>
    void play(Step step);
    void recoverFrom(const std::string &failure);
    void fitLabelFont();
    void holdLeastSize();
    void settleBoardArea();
    // The height the status line needs at its designed width for the text it holds.
    int statusHeight();
    void placeInTwips(QWidget *widget, double left, double top, double width, double height);
    void placeBoardArea();

    Game game_;
    WindowManners manners_;
    std::array<QLabel *, 4> label_{};
    std::array<QLineEdit *, 4> text_{};
    std::array<QPushButton *, 2> setup_{};
    QLabel *status_ = nullptr;
    QWidget *line1_ = nullptr;
    QScrollArea *boardArea_ = nullptr;
    BoardWidget *square_ = nullptr;
    QRect statusDesign_;
    // Every setup writes the same few stage messages, and laying one out to learn its height
    // costs more than the rest of its step: each is laid out once per font.
    QHash<QString, int> statusHeights_;
    QFont statusHeightsFont_;
    std::unique_ptr<Announcer> announcer_;
};

} // namespace tessfield
