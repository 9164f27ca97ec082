#include "board_accessible.h"

#include "view/board_speech.h"
#include "view/board_keys.h"
#include "view/board_widget.h"
#include "squares/cells.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <array>

namespace tessfield {

namespace {

struct TableShape {
    int rows = 0;
    int columns = 0;
    bool operator==(const TableShape &) const = default;
};

// The squares stand in rows of arrangement() columns from element 0; before the first board
// element 0 is hidden and the table is empty.
TableShape tableShape(const SquareArray &squares)
{
    const int columns = squares.arrangement();
    if (columns <= 0 || !squares.exists(0) || !squares.visible(0))
        return {};
    return {squares.arrangedRows(), columns};
}

class BoardAccessible;

// The cells' actions, in the order AT-SPI numbers them, with the button each presses.
struct CellAction {
    const char *name;
    int button;
    const char *description;
};
constexpr std::array<CellAction, 3> CellActions = {{
    {"uncover", LeftButton, "Uncovers the cell, as the left mouse button does"},
    {"flag", RightButton, "Puts a flag on the covered cell or takes it off, as the right mouse button does"},
    {"chord", MiddleButton,
     "Uncovers the unflagged cells around an uncovered count once as many flags stand around "
     "it, as the middle mouse button does"},
}};

const CellAction *cellAction(const QString &name)
{
    for (const CellAction &action : CellActions) {
        if (name == QLatin1String(action.name))
            return &action;
    }
    return nullptr;
}

// One cell of the table: a square's index and the widget it belongs to. Everything it tells
// is read from the squares at the moment it is asked; its actions press its square through
// the widget, exactly as the mouse does.
class CellAccessible : public QAccessibleInterface,
                       public QAccessibleTableCellInterface,
                       public QAccessibleActionInterface {
public:
    CellAccessible(BoardWidget *board, Int16 index) : board_(board), index_(index) {}

    Int16 index() const { return index_; }

    bool isValid() const override
    {
        const BoardWidget *board = board_.data();
        if (board == nullptr)
            return false;
        const SquareArray &squares = board->squares();
        const TableShape shape = tableShape(squares);
        return index_ < shape.rows * shape.columns && squares.exists(index_)
            && squares.visible(index_);
    }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override
    {
        const BoardWidget *board = board_.data();
        return board == nullptr ? nullptr : board->window()->windowHandle();
    }
    QAccessibleInterface *childAt(int /*x*/, int /*y*/) const override { return nullptr; }
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int /*index*/) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface * /*child*/) const override { return -1; }

    QString text(QAccessible::Text t) const override
    {
        const BoardWidget *board = board_.data();
        if (t != QAccessible::Name || board == nullptr || !isValid())
            return {};
        const SquareArray &squares = board->squares();
        return cellAccessibleName(squares, squares.arrangement(), index_);
    }
    void setText(QAccessible::Text /*t*/, const QString & /*text*/) override {}

    QRect rect() const override
    {
        const BoardWidget *board = board_.data();
        if (board == nullptr || !isValid())
            return {};
        const QRect area = board->squareRect(index_);
        return {board->mapToGlobal(area.topLeft()), area.size()};
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        const BoardWidget *board = board_.data();
        if (board == nullptr || !isValid()) {
            state.invalid = true;
            return state;
        }
        state.readOnly = true;
        // The current cell is the board's focused child while the board has the focus.
        state.focusable = true;
        state.focused = board->hasFocus() && board->currentCell() == index_;
        // A cell scrolled out of the board's area is there but not on the screen.
        if (!board->isVisible() || !board->visibleRegion().intersects(board->squareRect(index_)))
            state.offscreen = true;
        return state;
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface *>(this);
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface *>(this);
        return nullptr;
    }

    // QAccessibleActionInterface
    QStringList actionNames() const override
    {
        QStringList names;
        for (const CellAction &action : CellActions)
            names.append(QLatin1String(action.name));
        return names;
    }
    QString localizedActionDescription(const QString &name) const override
    {
        const CellAction *action = cellAction(name);
        return action == nullptr ? QString() : QLatin1String(action->description);
    }
    QStringList keyBindingsForAction(const QString &name) const override
    {
        const CellAction *action = cellAction(name);
        return action == nullptr ? QStringList() : QStringList(pressKeyName(action->button));
    }
    void doAction(const QString &name) override
    {
        const CellAction *action = cellAction(name);
        BoardWidget *board = board_.data();
        if (action != nullptr && board != nullptr && isValid())
            board->pressSquare(index_, action->button);
    }

    // QAccessibleTableCellInterface
    bool isSelected() const override { return false; }
    QList<QAccessibleInterface *> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override
    {
        return isValid() ? cellPosition(arrangement(), index_).column - 1 : -1;
    }
    int rowIndex() const override
    {
        return isValid() ? cellPosition(arrangement(), index_).row - 1 : -1;
    }
    // A cell that is not on the board spans nothing.
    int columnExtent() const override { return isValid() ? 1 : 0; }
    int rowExtent() const override { return isValid() ? 1 : 0; }
    QAccessibleInterface *table() const override
    {
        return board_.isNull() ? nullptr : QAccessible::queryAccessibleInterface(board_.data());
    }

private:
    // Columns per row of the board, 0 once the board is gone.
    Int16 arrangement() const
    {
        const BoardWidget *board = board_.data();
        return board == nullptr ? Int16{0} : board->squares().arrangement();
    }

    QPointer<BoardWidget> board_;
    Int16 index_;
};

// The cells stand in a grid of their own between them and the board, with the role of a
// table but without the table interface (the board offers that). Orca 43, when the focus
// enters a group, looks for stray labels under it by asking every descendant for its role and
// state, one D-Bus call each: with the cells right under the board that took 33 s on
// 181 x 181. It does not descend into a table, so it asks the grid once and stops. A table
// without the table interface is, for Orca, only a layout container: it neither says it when
// the focus enters nor reads whole rows at a move up or down, as it would in a real table,
// which on this board means hundreds of cells per key.
class GridAccessible : public QAccessibleInterface {
public:
    explicit GridAccessible(BoardWidget *board) : board_(board) {}

    bool isValid() const override { return !board_.isNull(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override
    {
        const BoardWidget *board = board_.data();
        return board == nullptr ? nullptr : board->window()->windowHandle();
    }
    QAccessibleInterface *parent() const override
    {
        return board_.isNull() ? nullptr : QAccessible::queryAccessibleInterface(board_.data());
    }
    QAccessibleInterface *child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QString text(QAccessible::Text /*t*/) const override { return {}; }
    void setText(QAccessible::Text /*t*/, const QString & /*text*/) override {}
    QRect rect() const override
    {
        const BoardWidget *board = board_.data();
        return board == nullptr ? QRect() : QRect(board->mapToGlobal(QPoint(0, 0)), board->size());
    }
    QAccessible::Role role() const override { return QAccessible::Table; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        const BoardWidget *board = board_.data();
        state.invalid = board == nullptr;
        state.readOnly = true;
        state.invisible = board == nullptr || !board->isVisible();
        return state;
    }

private:
    class BoardAccessible *board() const;

    QPointer<BoardWidget> board_;
};

// The board widget: a group with the grid of cells as its one child, offering the table
// interface, so that a client finds any cell by row and column. Its role is a group, not a
// table, because Orca reads a whole table row aloud at every move up or down (with its
// default settings, in tables that are not spreadsheets); in a group it reads the one cell
// the move went to. Cells are made when first asked for and kept, registered with Qt, until
// the board is laid out anew or the widget goes.
class BoardAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit BoardAccessible(BoardWidget *board)
        : QAccessibleWidget(board, QAccessible::Grouping), board_(board),
          grid_(QAccessible::registerAccessibleInterface(new GridAccessible(board)))
    {
    }
    ~BoardAccessible() override
    {
        forgetCells();
        QAccessible::deleteAccessibleInterface(grid_);
    }

    // Kept from construction: Qt drops an interface when its widget goes, so the board
    // outlives every call made on it.
    BoardWidget *board() const { return board_; }
    TableShape shape() const { return tableShape(board()->squares()); }
    QAccessibleInterface *grid() const { return QAccessible::accessibleInterface(grid_); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Description) {
            const TableShape now = shape();
            const QString &window = board()->windowKeysHelp();
            QString help = now.rows == 0 ? QStringLiteral("no board yet")
                                         : QStringLiteral("%1 rows by %2 columns: %3")
                                               .arg(now.rows)
                                               .arg(now.columns)
                                               .arg(boardKeysHelp());
            return help + (window.isEmpty() ? QString() : QStringLiteral("; ") + window) + u'.';
        }
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        return state;
    }

    int childCount() const override { return 1; }
    QAccessibleInterface *child(int index) const override { return index == 0 ? grid() : nullptr; }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child != nullptr && child == grid() ? 0 : -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        // In floating point, as for a cell: a client's point may be anywhere an int reaches.
        return board()->rect().toRectF().contains(board()->mapFromGlobal(QPointF(x, y))) ? grid() : nullptr;
    }
    QAccessibleInterface *focusChild() const override
    {
        const auto current = board()->currentCell();
        if (board()->hasFocus() && current)
            return cell(*current);
        return QAccessibleWidget::focusChild();
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // The cells, numbered as the squares, each made once and kept.
    int cellCount() const
    {
        const TableShape now = shape();
        return now.rows * now.columns;
    }
    QAccessibleInterface *cell(int index) const
    {
        if (index < 0 || index >= cellCount())
            return nullptr;
        return cellOf(narrowCast16(index));
    }
    int indexOfCell(const QAccessibleInterface *child) const
    {
        const auto *cell = dynamic_cast<const CellAccessible *>(child);
        if (cell == nullptr)
            return -1;
        const auto found = cells_.constFind(cell->index());
        if (found == cells_.constEnd() || QAccessible::accessibleInterface(*found) != child)
            return -1;
        return cell->index();
    }
    QAccessibleInterface *cellAt(QPoint global) const
    {
        // In floating point: a client's point may be anywhere an int reaches, and the board's
        // offset from it need not fit in one.
        const auto k = board()->squareAt(board()->mapFromGlobal(QPointF(global)));
        return k ? cell(*k) : nullptr;
    }

    // QAccessibleTableInterface
    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override
    {
        const TableShape now = shape();
        // Qt 6.4's AT-SPI adaptor takes the table-cell interface of whatever this returns
        // without looking (for an index or a row and column that a client made up), and a
        // null cell would end the program: a row and column off the board lead to a cell
        // that is nowhere (invalid, at row and column -1, spanning nothing).
        if (row < 0 || row >= now.rows || column < 0 || column >= now.columns)
            return cellOf(-1);
        return cell(row * now.columns + column);
    }
    int selectedCellCount() const override { return 0; }
    QList<QAccessibleInterface *> selectedCells() const override { return {}; }
    QString columnDescription(int column) const override
    {
        if (column < 0 || column >= shape().columns)
            return {};
        return QStringLiteral("column %1").arg(column + 1);
    }
    QString rowDescription(int row) const override
    {
        if (row < 0 || row >= shape().rows)
            return {};
        return QStringLiteral("row %1").arg(row + 1);
    }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return shape().columns; }
    int rowCount() const override { return shape().rows; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int /*column*/) const override { return false; }
    bool isRowSelected(int /*row*/) const override { return false; }
    bool selectRow(int /*row*/) override { return false; }
    bool selectColumn(int /*column*/) override { return false; }
    bool unselectRow(int /*row*/) override { return false; }
    bool unselectColumn(int /*column*/) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent *event) override
    {
        if (event->modelChangeType() != QAccessibleTableModelChangeEvent::DataChanged)
            keepCellsOfThisShape();
    }
    // Cells made for a board of other rows and columns go. A cell reads its square as it is,
    // so on a new board of the same shape the cells a client holds (a screen reader acting on
    // one right after a setup) live on.
    void keepCellsOfThisShape()
    {
        if (shape() != cellsShape_)
            forgetCells();
    }

private:
    // The cell of square k, made when first asked for and kept until the cells are forgotten.
    QAccessibleInterface *cellOf(Int16 k) const
    {
        // Looked up by value: an iterator dereferenced here makes GCC's release build warn
        // of a null pointer it cannot rule out.
        if (cells_.contains(k))
            return QAccessible::accessibleInterface(cells_.value(k));
        if (cells_.isEmpty())
            cellsShape_ = shape();
        auto *made = new CellAccessible(board(), k);
        cells_.insert(k, QAccessible::registerAccessibleInterface(made));
        return made;
    }

    void forgetCells()
    {
        const auto ids = cells_.values();
        cells_.clear();
        for (const QAccessible::Id id : ids)
            QAccessible::deleteAccessibleInterface(id);
    }

    BoardWidget *board_;
    QAccessible::Id grid_;
    mutable QHash<Int16, QAccessible::Id> cells_;
    // The rows and columns the cells in cells_ were made for.
    mutable TableShape cellsShape_;
};

BoardAccessible *GridAccessible::board() const
{
    return board_.isNull() ? nullptr
                           : dynamic_cast<BoardAccessible *>(QAccessible::queryAccessibleInterface(board_.data()));
}

QAccessibleInterface *GridAccessible::child(int index) const
{
    const BoardAccessible *board = this->board();
    return board == nullptr ? nullptr : board->cell(index);
}

int GridAccessible::childCount() const
{
    const BoardAccessible *board = this->board();
    return board == nullptr ? 0 : board->cellCount();
}

int GridAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    const BoardAccessible *board = this->board();
    return board == nullptr ? -1 : board->indexOfCell(child);
}

QAccessibleInterface *GridAccessible::childAt(int x, int y) const
{
    const BoardAccessible *board = this->board();
    return board == nullptr ? nullptr : board->cellAt(QPoint(x, y));
}

QAccessibleInterface *CellAccessible::parent() const
{
    const auto *board = dynamic_cast<const BoardAccessible *>(table());
    return board == nullptr ? nullptr : board->grid();
}

BoardAccessible *boardAccessible(BoardWidget &board)
{
    return dynamic_cast<BoardAccessible *>(QAccessible::queryAccessibleInterface(&board));
}

// The accessible cell of square k on the board, made if need be; null before the first board
// or off it.
QAccessibleInterface *cellInterface(BoardWidget &board, Int16 k)
{
    const BoardAccessible *accessible = boardAccessible(board);
    return accessible == nullptr ? nullptr : accessible->cell(k);
}

QAccessibleInterface *boardFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String(BoardWidget::staticMetaObject.className()) && object != nullptr
        && object->isWidgetType())
        return new BoardAccessible(static_cast<BoardWidget *>(object));
    return nullptr;
}

} // namespace

QString squareStateText(const SquareArray &squares, Int16 k)
{
    return QString::fromStdString(squareStateWords(squares, k));
}

QString cellAccessibleName(const SquareArray &squares, Int16 columns, Int16 k)
{
    // What a move lands on comes first, since a player moves on before the end of the
    // sentence; the row and column follow as bare numbers, which keeps a move's speech near a
    // second at Orca's default rate where "row 5, column 6" takes two.
    const auto [column, row] = cellPosition(std::max<Int16>(columns, 1), k);
    return QStringLiteral("%1, %2 %3")
        .arg(QString::fromStdString(squareStateWords(squares, k)))
        .arg(row)
        .arg(column);
}

std::vector<std::unique_ptr<QAccessibleEvent>> boardChangeEvents(BoardWidget &board,
                                                                const SquareChanges &changes)
{
    std::vector<std::unique_ptr<QAccessibleEvent>> events;
    // Told on the cell's own interface: the board's one child is the grid.
    const auto cellEvent = [&board, &events](QAccessible::Event type, Int16 k) {
        if (QAccessibleInterface *cell = cellInterface(board, k))
            events.push_back(std::make_unique<QAccessibleEvent>(cell, type));
    };
    const auto current = board.currentCell();
    // Qt 6.4 hands none of its table-wide events (model changes, visible data) on to AT-SPI.
    // A child added to the grid is the one that reaches a client in one message, as
    // children-changed, and tells it to read the grid's cells again.
    const auto lookAgain = [&] { cellEvent(QAccessible::ObjectCreated, current.value_or(0)); };
    if (changes.layout) {
        // The cells made for the old board, which may have had other rows and columns, go
        // before a client is sent to read the new ones.
        if (BoardAccessible *accessible = boardAccessible(board))
            accessible->keepCellsOfThisShape();
        if (tableShape(board.squares()).rows > 0)
            lookAgain();
        return events;
    }
    if (changes.cells.empty() || board.squares().arrangement() <= 0)
        return events;
    if (changes.cells.size() > SquareChanges::ManyCells) {
        lookAgain();
        // Whatever the focused cell shows now is said on it, as for a single change.
        if (current && board.hasFocus())
            cellEvent(QAccessible::NameChanged, *current);
        return events;
    }
    for (const Int16 k : changes.cells)
        cellEvent(QAccessible::NameChanged, k);
    return events;
}

std::vector<std::unique_ptr<QAccessibleEvent>> currentCellEvents(BoardWidget &board)
{
    std::vector<std::unique_ptr<QAccessibleEvent>> events;
    const auto current = board.currentCell();
    QAccessibleInterface *cell = current ? cellInterface(board, *current) : nullptr;
    if (!board.hasFocus() || cell == nullptr)
        return events;
    // A focus event does not make a client read the cell's name again: a name it read before
    // a flood or a loss would be said as it was. Announcing the name first drops it.
    for (const QAccessible::Event type : {QAccessible::NameChanged, QAccessible::Focus})
        events.push_back(std::make_unique<QAccessibleEvent>(cell, type));
    return events;
}

namespace {

// Sends listening assistive technology the events of what a board shows. Qt resolves an
// event's interfaces even when nobody listens, so nothing is built then.
class BoardTeller : public BoardObserver {
public:
    void changesShown(BoardWidget &board, const SquareChanges &changes) override
    {
        if (QAccessible::isActive())
            send(boardChangeEvents(board, changes));
    }
    void currentCellDue(BoardWidget &board) override
    {
        if (QAccessible::isActive())
            send(currentCellEvents(board));
    }

private:
    static void send(const std::vector<std::unique_ptr<QAccessibleEvent>> &events)
    {
        for (const auto &event : events)
            QAccessible::updateAccessibility(event.get());
    }
};

} // namespace

void installBoardAccessibility()
{
    static BoardTeller teller;
    static const bool installed = [] {
        QAccessible::installFactory(&boardFactory);
        BoardWidget::observeEveryBoard(&teller);
        return true;
    }();
    (void)installed;
}

} // namespace tessfield
