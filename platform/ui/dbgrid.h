// A data grid over a data source: whole-row selection, a row indicator, no
// editing in place, fixed columns, Tab leaves it. Ctrl+Del deletes the
// current row after the confirmation "Delete record?".
#pragma once

#include "controls.h"

#include <QTableView>

class DataSource;

class DbGrid : public ScreenReaderTable<QTableView>
{
    Q_OBJECT
public:
    explicit DbGrid(QWidget *parent = nullptr);

    // Binds the grid to a data source; nullptr leaves it without rows.
    void setDataSource(DataSource *source);
    DataSource *dataSource() const { return m_source; }

    // One visible column: the field it shows, its title and width. Columns
    // are numbered as the data source's layout numbers them.
    void setColumn(int column, const QString &fieldName, const QString &title,
                   Qt::Alignment titleAlignment, int width);
    // Shows or hides a layout column of the data source.
    void setColumnShown(int column, bool shown);
    // Redraws from the rows the dataset holds now; no new query.
    void repaintRows();

    // A locked grid takes no focus and no mouse press, click or
    // double-click: they neither select a row nor focus it. Ctrl+Del does
    // nothing. Unlocking gives back the focus policy it had.
    void setLocked(bool on);
    bool isLocked() const { return m_locked; }
    // A browse-only grid that is not locked takes the focus and moves its
    // current row with the keyboard, and otherwise acts as a locked one: no
    // mouse press, click or double-click, no Ctrl+Del.
    void setBrowseOnly(bool on) { m_browseOnly = on; }
    bool isBrowseOnly() const { return m_browseOnly; }

    // Typed characters never move the current row: the grid has no
    // incremental search.
    void keyboardSearch(const QString &) override {}

signals:
    // A row was deleted with Ctrl+Del.
    void rowDeleted();

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    void deleteCurrentRow();
    void showCurrentRow(int row);

    DataSource *m_source = nullptr;
    bool m_locked = false;
    bool m_browseOnly = false;
    Qt::FocusPolicy m_unlockedFocusPolicy = Qt::StrongFocus;
};
