#include "form1.h"

#include "game/game.h"
#include "squares/cells.h"
#include "ui/announcer.h"
#include "ui/app_icon.h"
#include "ui/entry.h"
#include "ui/setup_button.h"
#include "ui/guidance.h"
#include "ui/status_line.h"
#include "ui/window_manners.h"
#include "view/board_speech.h"
#include "view/board_widget.h"
#include "view/cell_painter.h"
#include "view/counted_words.h"
#include "view/twips.h"

#include <QAccessible>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>

#include <algorithm>

namespace tessfield {

namespace {

// The status line's designed box, in twips.
constexpr QRectF StatusLineBox(120, 2640, 1215, 375);

// The window's designed client sizes, in twips, and its text colour (0xBBGGRR).
constexpr WindowManners::Design ClientDesign{
    QSizeF(5880, 3600),
    // The column of controls and the dividing line with one cell of board beside them; and
    // below the status line the margin the board keeps above itself, so that "Play Game" and
    // the status line are never cut off.
    QSizeF(TemplateSquareLeft + SquareTwips, StatusLineBox.bottom() + TemplateSquareTop)};
constexpr Colour FormText = 0x808080;

// A vertical line in the window's default line colour, one pixel wide.
class VerticalLine : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent * /*event*/) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::WindowText));
    }
};

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent), game_(*this), manners_(*this, ClientDesign, [this] { placeBoardArea(); })
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("tessfield - qorv418"));
    setWindowIcon(applicationIcon());

    // The controls keep the toolkit's own colours, not the window's.
    const QPalette controlPalette = applyFormColours();
    createEntries(controlPalette);
    createButtons(controlPalette);
    createStatusLine(controlPalette);
    createBoardArea(controlPalette);
    orderTabs();

    manners_.open();
    holdLeastSize();
    addGuidance(*this, text_, setup_, *square_);
    text_[0]->setFocus();

    game_.initialiseForm();
}

QPalette Form1::applyFormColours()
{
    // The window's own colours; the controls keep the toolkit's defaults.
    QPalette formPalette = palette();
    formPalette.setColor(QPalette::Window, toQColor(WindowColour));
    formPalette.setColor(QPalette::WindowText, toQColor(FormText));
    setPalette(formPalette);
    setAutoFillBackground(true);
    // Marked as set in every role, so that the controls do not inherit the window's grey text.
    QPalette controlPalette = QApplication::palette();
    controlPalette.setResolveMask(~QPalette::ResolveMask{0});
    return controlPalette;
}

void Form1::createEntries(const QPalette &controlPalette)
{
    const std::array<const char *, 4> labels = {"rows", "columns", "mines", "Game ID"};
    const std::array<const char *, 4> texts = {"10", "15", "45", "11540"};
    const std::array<double, 4> labelWidths = {495, 615, 735, 735};
    for (std::size_t i = 0; i < 4; ++i) {
        const double top = 120 + 360 * static_cast<double>(i);
        label_[i] = new QLabel(QString::fromLatin1(labels[i]), this);
        label_[i]->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        label_[i]->setPalette(controlPalette);
        label_[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        placeInTwips(label_[i], 0, top, labelWidths[i], 255);

        text_[i] = new Entry(QString::fromLatin1(texts[i]), this);
        text_[i]->setObjectName(QStringLiteral("Text%1").arg(i + 1));
        text_[i]->setPalette(controlPalette);
        // Plain single-line boxes with no input filter, and a length no number needs.
        text_[i]->setMaxLength(EntryMaxLength);
        placeInTwips(text_[i], 720, top, 735, 285);
        label_[i]->setBuddy(text_[i]);
    }
    fitLabelFont();
}

void Form1::createButtons(const QPalette &controlPalette)
{
    for (std::size_t i = 0; i < 2; ++i) {
        setup_[i] = new SetupButton(fromUtf8(SetupCaptions.at(i)), this);
        setup_[i]->setObjectName(QStringLiteral("setup(%1)").arg(i));
        setup_[i]->setPalette(controlPalette);
        setup_[i]->setAutoDefault(false);
        placeInTwips(setup_[i], 120, 1680 + 480 * static_cast<double>(i), 1215, 375);
        connect(setup_[i], &QPushButton::clicked, this, [this, i] { runSetup(static_cast<int>(i)); });
    }
    // Return in an entry box presses "Play Game".
    QPushButton *playGame = setupButton(Game::PlayGame);
    for (QLineEdit *entry : text_)
        connect(entry, &QLineEdit::returnPressed, playGame, &QPushButton::click);
}

void Form1::createStatusLine(const QPalette &controlPalette)
{
    status_ = new StatusLine(this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setPalette(controlPalette);
    status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    status_->setWordWrap(true);
    placeInTwips(status_, StatusLineBox.left(), StatusLineBox.top(), StatusLineBox.width(),
                 StatusLineBox.height());
    statusDesign_ = status_->geometry();
    announcer_ = std::make_unique<Announcer>(status_);
}

void Form1::createBoardArea(const QPalette &controlPalette)
{
    line1_ = new VerticalLine(this);
    line1_->setObjectName(QStringLiteral("Line1"));
    line1_->setPalette(controlPalette);
    const double dpi = logicalDpiX();
    line1_->setGeometry(twipsToPixelEdge(1560, dpi), twipsToPixelEdge(120, dpi), 1,
                        twipsToPixels(2040 - 120, dpi));

    // The board scrolls inside its own area, which starts at the template square's corner,
    // so that boards larger than the screen stay reachable while the controls stay put.
    boardArea_ = new QScrollArea(this);
    boardArea_->setObjectName(QStringLiteral("boardArea"));
    boardArea_->setFrameShape(QFrame::NoFrame);
    boardArea_->setFocusPolicy(Qt::NoFocus);
    boardArea_->setBackgroundRole(QPalette::Window);
    boardArea_->setWidgetResizable(false);
    square_ = new BoardWidget(game_.squares());
    boardArea_->setWidget(square_);
    boardArea_->lower();
    connect(square_, &BoardWidget::squarePressed, this, &Form1::pressSquare);
    connect(square_, &BoardWidget::announcement, this,
            [this](const QString &text) { announcer_->announce(text); });
    // The keys' current cell is kept in view: whole, where the area can show a whole cell.
    connect(square_, &BoardWidget::currentCellMoved, this, [this](const QRect &area) {
        boardArea_->ensureVisible(area.center().x(), area.center().y(), area.width() / 2 + 1,
                                  area.height() / 2 + 1);
    });
}

void Form1::orderTabs()
{
    // Qt leaves a widget that takes no focus out of the chain, so the board is put in its
    // place while focusable; it takes the focus only once its squares are shown.
    const Qt::FocusPolicy boardFocus = square_->focusPolicy();
    square_->setFocusPolicy(Qt::TabFocus);
    setTabOrder(text_[0], text_[1]);
    setTabOrder(text_[1], text_[2]);
    setTabOrder(text_[2], text_[3]);
    setTabOrder(text_[3], setupButton(Game::TestCode));
    setTabOrder(setupButton(Game::TestCode), square_);
    setTabOrder(square_, setupButton(Game::PlayGame));
    square_->setFocusPolicy(boardFocus);
}

Form1::~Form1()
{
    // The board reads the game's squares to the last (losing the focus as the window goes
    // repaints its current cell), and the game is gone before the child widgets are: the
    // board goes first.
    delete square_;
}

void Form1::fitLabelFont()
{
    // The label column was laid out for a smaller face than most desktops use, and
    // "columns" or "Game ID" would be cut off at their designed widths. One size for all
    // four, the desktop's own unless a label needs a smaller one.
    QFont font = label_[0]->font();
    const auto fits = [this](const QFont &candidate) {
        const QFontMetrics metrics(candidate);
        return std::all_of(label_.begin(), label_.end(), [&](const QLabel *label) {
            return metrics.horizontalAdvance(label->text()) <= label->width();
        });
    };
    while (!fits(font) && font.pointSizeF() > 6.0)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    for (QLabel *label : label_)
        label->setFont(font);
}

void Form1::placeInTwips(QWidget *widget, double left, double top, double width, double height)
{
    const double dpi = logicalDpiX();
    const int x0 = twipsToPixelEdge(left, dpi);
    const int y0 = twipsToPixelEdge(top, dpi);
    widget->setGeometry(x0, y0, twipsToPixelEdge(left + width, dpi) - x0,
                        twipsToPixelEdge(top + height, dpi) - y0);
}

template <typename Step>
void Form1::play(Step step)
{
    try {
        step();
        square_->showChanges(game_.takeChanges());
    } catch (const std::exception &error) {
        recoverFrom(std::string("failed: ") + error.what());
    } catch (...) {
        recoverFrom("failed");
    }
}

void Form1::recoverFrom(const std::string &failure)
{
    setStatusText(failure);
    game_.leaveBusyState();
    // Whatever the step got done before it failed is on the squares and is shown as well.
    // The failure may have come while the board was being shown, taking the list of changes
    // with it, so the board is laid out and painted afresh from the squares themselves.
    SquareChanges changes = game_.takeChanges();
    changes.layout = true;
    square_->showChanges(changes);
}

void Form1::runSetup(int index)
{
    // Disabling the control that has the focus would pass it on to every control that is
    // still enabled, one after the other, each move told to screen readers. The window holds
    // it while the setup runs, until the setup gives it to "Play Game".
    setFocus(Qt::OtherFocusReason);
    // The setup rewrites the status line: the last message no longer holds the window at a
    // size, or the new board could not give it its own.
    manners_.requireClient({});
    play([this, index] { game_.setupGame(narrowCast16(index)); });
    holdLeastSize();
    settleBoardArea();
    // Said after the focus has come to "Play Game", which the screen reader says first, and
    // posted behind the new board's paint, for the moment the window answers questions again.
    // A screen reader gives up on a question left unanswered for most of a second, and Orca
    // then drops every event it hears of meanwhile: on a loaded machine a large board's setup
    // and first paint take that long, and a sentence posted before them was lost.
    if (QAccessible::isActive())
        QMetaObject::invokeMethod(
            this,
            [this, words = setupWords(status_->text(), index, game_.board())] {
                announcer_->announce(words);
            },
            Qt::QueuedConnection);
}

void Form1::settleBoardArea()
{
    // The scroll area shows or hides its bars in a call it queues to itself when their
    // ranges change, and lays them out in an event it posts; a bar that appears narrows the
    // view, which changes the ranges once more, and a bar shown asks for its paint in an
    // event of its own. Left to the event loop, all of that comes after the window's next
    // paint and paints the bars again. Settled here, the window is painted and flushed once.
    for (int round = 0; round < 2; ++round) {
        QCoreApplication::sendPostedEvents(boardArea_, QEvent::MetaCall);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateLater);
}

QString setupWords(const QString &status, int index, const Board &board)
{
    if (!status.isEmpty())
        return status;
    if (index == Game::TestCode)
        return QStringLiteral("Test Code: board uncovered");
    const auto counted = [](int count, std::string_view one, std::string_view many) {
        return QString::fromStdString(countedWords(count, one, many));
    };
    return QStringLiteral("board of %1 by %2, %3")
        .arg(counted(board.rowCount, "row", "rows"), counted(board.columnCount, "column", "columns"),
             counted(board.mineCount, "mine", "mines"));
}

void Form1::pressSquare(int index, int button, bool cellFocused)
{
    // Indices and button values come from the board widget, well inside 16 bits.
    const auto k = narrowCast16(index);
    play([this, k, button, cellFocused] {
        const PressOutcome outcome = game_.onSquareMouseDown(k, narrowCast16(button));
        // Said before the board tells screen readers of its changed cells, as a sighted
        // player takes in the press before the board around it.
        if (QAccessible::isActive())
            announcer_->announce(QString::fromStdString(
                pressWords(game_.squares(), k, button, outcome, cellFocused)));
    });
}

void Form1::holdLeastSize()
{
    // However small the window is made, it keeps one whole cell of the board beside the
    // scroll bar, and the status line's whole message: the reason a setup was refused takes
    // more lines than the designed line, and a small board's window ends just below that.
    const double dpi = logicalDpiX();
    const SquareArray &squares = game_.squares();
    QSize least(twipsToPixelEdge(squares.left(0) + squares.width(0), dpi)
                    + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, boardArea_),
                0);
    if (!status_->text().isEmpty())
        least.setHeight(status_->geometry().bottom() + 1 + status_->fontMetrics().height() / 2);
    manners_.requireClient(least);
}

std::string Form1::entryText(int entry) const
{
    return this->entry(entry)->text().toStdString();
}

void Form1::setEntryEnabled(int entry, bool enabled)
{
    this->entry(entry)->setEnabled(enabled);
}

void Form1::setSetupEnabled(int index, bool enabled)
{
    setupButton(index)->setEnabled(enabled);
}

void Form1::setSetupCaption(int index, std::string_view caption)
{
    setupButton(index)->setText(fromUtf8(caption));
}

void Form1::focusSetup(int index)
{
    setupButton(index)->setFocus(Qt::OtherFocusReason);
}

void Form1::setStatusText(std::string_view text)
{
    const QString shown = fromUtf8(text);
    status_->setText(shown);
    // A refusal explains itself in a sentence that the designed line cannot hold, so the
    // line grows downwards to fit whatever it is given.
    QRect area = statusDesign_;
    const int needed = status_->heightForWidth(area.width());
    if (needed > area.height())
        area.setHeight(needed);
    status_->setGeometry(area);
    status_->setToolTip(shown);
    Q_EMIT statusWritten(shown);
}

void Form1::setOuterSize(float widthTwips, float heightTwips)
{
    const double dpi = logicalDpiX();
    manners_.requestOuterSize(QSize(twipsToPixels(widthTwips, dpi), twipsToPixels(heightTwips, dpi)));
}

void Form1::placeBoardArea()
{
    const double dpi = logicalDpiX();
    const QPoint origin(twipsToPixelEdge(game_.squares().left(0), dpi),
                        twipsToPixelEdge(game_.squares().top(0), dpi));
    boardArea_->setGeometry(QRect(origin, QSize(std::max(0, width() - origin.x()),
                                                std::max(0, height() - origin.y()))));
}

} // namespace tessfield
