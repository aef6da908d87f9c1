// The data grid: keeps the grid's selection and the dataset's current row
// in step, and deletes rows on Ctrl+Del after asking.
#include "dbgrid.h"

#include "datasource.h"
#include "dialogs.h"
#include "guard.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>

DbGrid::DbGrid(QWidget *parent) : ScreenReaderTable(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setShowGrid(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWordWrap(false);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    QFont titleFont = horizontalHeader()->font();
    titleFont.setBold(true);
    horizontalHeader()->setFont(titleFont);
    // The vertical header is the row indicator: a mark at the current row.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(18);
    verticalHeader()->setMinimumWidth(12);
    verticalHeader()->setSectionsClickable(false);
}

void DbGrid::setDataSource(DataSource *source)
{
    if (m_source == source)
        return;
    m_source = source;
    setModel(source);
    if (!source)
        return;
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                AdoDataSet *set = m_source ? m_source->dataSet() : nullptr;
                if (set && current.isValid() && current.row() != set->recNo())
                    guarded([&] { set->setRecNo(current.row()); });
            });
    connect(source, &QAbstractItemModel::modelReset, this, [this] {
        if (m_source && m_source->dataSet())
            showCurrentRow(m_source->dataSet()->recNo());
    });
    connect(source, &DataSource::currentRowChanged, this, &DbGrid::showCurrentRow);
    if (source->dataSet())
        showCurrentRow(source->dataSet()->recNo());
}

void DbGrid::setColumn(int column, const QString &fieldName, const QString &title,
                       Qt::Alignment titleAlignment, int width)
{
    if (!m_source)
        return;
    m_source->setColumn(column, fieldName, title, titleAlignment);
    const int shown = m_source->modelColumn(column);
    if (shown >= 0)
        setColumnWidth(shown, width);
}

// A hidden column leaves the model rather than the view: a screen reader
// would still be told of a column the view merely hides.
void DbGrid::setColumnShown(int column, bool shown)
{
    if (m_source)
        m_source->setColumnShown(column, shown);
}

void DbGrid::repaintRows()
{
    if (m_source)
        m_source->refresh();
    viewport()->update();
}

void DbGrid::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::ControlModifier) {
        guarded([this] { deleteCurrentRow(); });
        return;
    }
    if (event->key() == Qt::Key_Insert)
        return;
    QTableView::keyPressEvent(event);
}

// Whole rows are selected, so Home and End go to the first and the last
// row, as with Ctrl.
QModelIndex DbGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    if (action == MoveHome || action == MoveEnd)
        modifiers |= Qt::ControlModifier;
    return QTableView::moveCursor(action, modifiers);
}

void DbGrid::setLocked(bool on)
{
    if (on == m_locked)
        return;
    m_locked = on;
    if (on) {
        m_unlockedFocusPolicy = focusPolicy();
        setFocusPolicy(Qt::NoFocus);
    } else {
        setFocusPolicy(m_unlockedFocusPolicy);
    }
}

void DbGrid::mousePressEvent(QMouseEvent *event)
{
    if (!m_locked && !m_browseOnly)
        QTableView::mousePressEvent(event);
}

void DbGrid::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_locked && !m_browseOnly)
        QTableView::mouseReleaseEvent(event);
}

void DbGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (!m_locked && !m_browseOnly)
        QTableView::mouseDoubleClickEvent(event);
}

// A move with a button held would select rows as well.
void DbGrid::mouseMoveEvent(QMouseEvent *event)
{
    if ((!m_locked && !m_browseOnly) || event->buttons() == Qt::NoButton)
        QTableView::mouseMoveEvent(event);
}

// The item view answers tool-tip requests over its rows from the model
// alone; the grid's own hint shows where the rows give none.
bool DbGrid::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip && !toolTip().isEmpty()) {
        auto *help = static_cast<QHelpEvent *>(event);
        const QModelIndex index = indexAt(help->pos());
        if (!index.isValid() || index.data(Qt::ToolTipRole).toString().isEmpty()) {
            QToolTip::showText(help->globalPos(), toolTip(), viewport());
            return true;
        }
    }
    return QTableView::viewportEvent(event);
}

void DbGrid::deleteCurrentRow()
{
    AdoDataSet *set = m_source ? m_source->dataSet() : nullptr;
    if (m_locked || m_browseOnly || !set || !set->active() || set->isEmpty())
        return;
    if (!dialogs().confirm(QStringLiteral("Delete record?"), QStringLiteral("Confirm")))
        return;
    set->deleteCurrent();
    emit rowDeleted();
}

void DbGrid::showCurrentRow(int row)
{
    if (!m_source || row < 0 || row >= m_source->rowCount())
        return;
    const QModelIndex index =
        m_source->index(row, currentIndex().isValid() ? currentIndex().column() : 0);
    if (currentIndex().row() != row)
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                     QItemSelectionModel::Rows);
    scrollTo(index);
}
