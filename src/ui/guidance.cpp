#include "guidance.h"

#include "board/entries.h"
#include "view/board_widget.h"

#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

#include <array>
#include <string_view>

namespace tessfield {

namespace {

// The window's own keys and what each does.
struct WindowKey {
    QKeyCombination keys;
    const char *does;
};
constexpr WindowKey WindowKeys[] = {
    {Qt::CTRL | Qt::Key_W, "closes the window"},
    {Qt::CTRL | Qt::Key_Q, "quits"},
};

QString text(std::string_view words)
{
    return QString::fromUtf8(words.data(), static_cast<qsizetype>(words.size()));
}

} // namespace

void addGuidance(QWidget &window, const std::array<QLineEdit *, 4> &entries,
                 const std::array<QPushButton *, 2> &setupButtons, BoardWidget &board)
{
    // Each entry's range in the words that refuse a number outside it.
    const std::array<QString, 4> ranges = {
        text(refusals::Rows) + QStringLiteral("; ") + text(refusals::Cells),
        text(refusals::Columns) + QStringLiteral("; ") + text(refusals::Cells),
        text(refusals::Mines)
            + QStringLiteral("; a board takes at most one less than its cells, and 0 or less "
                             "places none"),
        text(refusals::GameId) + QStringLiteral("; one ID always gives one board"),
    };
    for (std::size_t entry = 0; entry < entries.size(); ++entry)
        entries.at(entry)->setToolTip(ranges.at(entry));
    setupButtons[0]->setToolTip(
        QStringLiteral("Build the board of these entries and show it uncovered"));
    setupButtons[1]->setToolTip(
        QStringLiteral("Build a new board of these entries, all covered (Return in an entry "
                       "box presses it)"));

    // One window, so quitting and closing it are the same; both keys are the desktop's usual.
    // The board's description ends with them, as the window says them.
    QString help;
    for (const WindowKey &key : WindowKeys) {
        auto *shortcut = new QShortcut(QKeySequence(key.keys), &window);
        QObject::connect(shortcut, &QShortcut::activated, &window, &QWidget::close);
        help += (help.isEmpty() ? QString() : QStringLiteral(" and "))
            + QKeySequence(key.keys).toString(QKeySequence::PortableText) + u' ' + QLatin1String(key.does);
    }
    board.setWindowKeysHelp(help);
}

} // namespace tessfield
