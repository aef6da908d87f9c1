// Small helpers the windows share: the substitute fonts at the pixel heights
// the windows give, a status bar of fixed panels, a validator for texts
// stored in Windows-1251, and what screen readers need of drop-downs and
// grids.
#pragma once

#include <QAbstractItemView>
#include <QFont>
#include <QStatusBar>
#include <QValidator>
#include <functional>
#include <vector>

class QAccessibleEvent;
class QComboBox;
class QLabel;

// MS Sans Serif and Times New Roman stand-ins with Cyrillic.
QFont sansFont(int pixelHeight, bool bold = false);
QFont serifFont(int pixelHeight, bool bold = false);

// A status bar of panels of fixed widths; the last one reaches the right
// edge. Each showing gives the panels new accessible objects: Qt 6.4 tells
// screen readers of a widget that appears only that it is showing, never
// that it is visible, so a panel they asked about while its window was
// hidden would stay invisible to them, and the bar would be read empty.
class PanelStatusBar : public QStatusBar
{
    Q_OBJECT
public:
    struct Panel {
        int width;
        Qt::Alignment alignment;
        QString text;
    };
    explicit PanelStatusBar(const std::vector<Panel> &panels, QWidget *parent = nullptr);

    QString panelText(int panel) const;
    void setPanelText(int panel, const QString &text);

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::vector<QLabel *> m_labels;
};

// Refuses characters that Windows-1251 cannot hold, for boxes whose text is
// stored in a record file: the file would keep a "?" in their place, and a
// password typed later would never match.
class Cp1251Only : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &position) const override;
};

// Qt 6.4: a drop-down list tells screen readers of its chosen item neither
// on entry nor on a change (it offers them no selection to ask for). This
// keeps the box's current text as its accessible description, read with the
// box on entry, and on each change while it has the focus hands the focus,
// for screen readers only, to that item of its list, which they then read.
void announceCurrentItem(QComboBox *box);

// Tells screen readers that the view's current cell has the focus, as the
// view itself does when its current cell moves while it has the focus.
void announceCurrentCell(QAbstractItemView *view);
// The same once the event loop runs again, if the view still has the focus:
// after the notice of the focus change under way, which would override it.
void announceCurrentCellSoon(QAbstractItemView *view);
// For a view made elsewhere (a file chooser's lists): on each entry the view
// tells of itself only, so its current cell is told after it, as
// ScreenReaderTable does.
void announceCurrentCellOnEntry(QAbstractItemView *view);

// A table view (a QTableView or a QTableWidget) as screen readers need it.
// Qt 6.4: a view tells them of each new current cell as focused even while
// it has not the focus: they then read rows of a grid the user is not in,
// and say nothing when the grid really takes the focus on that row. And on
// taking the focus it tells of itself only, so that its current row would
// be heard after the next move only.
template <class TableView> class ScreenReaderTable : public TableView
{
public:
    using TableView::TableView;

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override
    {
        if (this->hasFocus())
            TableView::currentChanged(current, previous);
        else
            this->QAbstractItemView::currentChanged(current, previous);
    }

    void focusInEvent(QFocusEvent *event) override
    {
        TableView::focusInEvent(event);
        announceCurrentCellSoon(this);
    }
};

// Where announceCurrentItem and announceCurrentCell send their notices:
// Qt's accessibility bridge, or a test's recorder (Qt hands a handler of its
// own nothing while no screen reader listens, as in headless tests).
// Returns the previous one; an empty function restores the bridge.
using AccessibleNotifier = std::function<void(QAccessibleEvent *)>;
AccessibleNotifier setAccessibleNotifier(AccessibleNotifier notifier);
