#include "board_keys.h"

#include "squares/cells.h"

#include <QKeyEvent>
#include <QKeySequence>

#include <algorithm>
#include <iterator>

namespace tessfield {

namespace {

constexpr Qt::KeyboardModifiers None{};

const BoardKey BoardKeys[] = {
    {Qt::Key_Left, None, CellMove::Left, "the arrow keys move the current cell"},
    {Qt::Key_Right, None, CellMove::Right, nullptr},
    {Qt::Key_Up, None, CellMove::Up, nullptr},
    {Qt::Key_Down, None, CellMove::Down, nullptr},
    {Qt::Key_PageUp, None, CellMove::PageUp, nullptr},
    {Qt::Key_PageDown, None, CellMove::PageDown, nullptr},
    {Qt::Key_Home, None, CellMove::RowStart, nullptr},
    {Qt::Key_End, None, CellMove::RowEnd, nullptr},
    {Qt::Key_Home, Qt::ControlModifier, CellMove::First, nullptr},
    {Qt::Key_End, Qt::ControlModifier, CellMove::Last, nullptr},
    {Qt::Key_Space, None, PressCell{LeftButton}, "Space or Return uncovers it"},
    {Qt::Key_Return, None, PressCell{LeftButton}, nullptr},
    {Qt::Key_Enter, None, PressCell{LeftButton}, nullptr},
    {Qt::Key_F, None, PressCell{RightButton}, "F flags it"},
    {Qt::Key_C, None, PressCell{MiddleButton}, "C chords it"},
    {Qt::Key_H, None, ReadLine{Line::Row}, "H reads its row"},
    {Qt::Key_V, None, ReadLine{Line::Column}, "V its column"},
};

} // namespace

const KeyAction *boardKeyAction(const QKeyEvent &event)
{
    const Qt::KeyboardModifiers held = event.modifiers() & ~Qt::KeypadModifier;
    for (const BoardKey &key : BoardKeys) {
        const bool pressesCell = std::holds_alternative<PressCell>(key.action);
        if (event.key() == key.key
            && (held == key.modifiers || (pressesCell && held == (key.modifiers | Qt::ShiftModifier))))
            return &key.action;
    }
    return nullptr;
}

QString pressKeyName(int button)
{
    for (const BoardKey &key : BoardKeys) {
        const auto *press = std::get_if<PressCell>(&key.action);
        if (press != nullptr && press->button == button)
            return QKeySequence(key.key).toString(QKeySequence::PortableText);
    }
    return {};
}

QString boardKeysHelp()
{
    QString help;
    const auto last = std::find_if(std::rbegin(BoardKeys), std::rend(BoardKeys),
                                   [](const BoardKey &key) { return key.help != nullptr; });
    for (const BoardKey &key : BoardKeys) {
        if (key.help == nullptr)
            continue;
        if (!help.isEmpty())
            help += &key == &*last ? QStringLiteral(" and ") : QStringLiteral(", ");
        help += QLatin1String(key.help);
    }
    return help;
}

} // namespace tessfield
