// The data source: shows a dataset to a grid as a Qt item model. Column i
// of the layout shows a field chosen by name; a hidden column is left out of
// the model, so views and assistive technology see only the shown ones. Dates
// are shown in the system's short date format with a four-digit year; the
// vertical header marks the current row.
#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <vector>

#include "adodataset.h"

class DataSource : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit DataSource(QObject *parent = nullptr) : QAbstractTableModel(parent) {}

    // Binds a dataset, or none (the grid then shows no rows).
    void setDataSet(AdoDataSet *dataSet);
    AdoDataSet *dataSet() const { return m_dataSet; }

    // Column layout: the field a column shows, its title and whether it is
    // shown. Layout columns keep their numbers whatever is hidden.
    void setColumn(int column, const QString &fieldName, const QString &title,
                   Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
    void setColumnShown(int column, bool shown);
    // The model column of a layout column; -1 while it is hidden.
    int modelColumn(int column) const;

    // Redraws every row from what the dataset holds now.
    void refresh();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    // The dataset's current row moved.
    void currentRowChanged(int row);

private:
    struct Column {
        int field = -1;
        QString title;
        Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
        bool shown = true;
    };
    const Column *shownColumn(int modelColumn) const;
    int shownBefore(int count) const;
    void setShownCurrent(int row);

    QPointer<AdoDataSet> m_dataSet;
    // Every layout column, the hidden ones included.
    std::vector<Column> m_columns;
    // The fields the column layout was made for; a query with other fields
    // gets the default layout again.
    QStringList m_layoutFields;
    // The rows as last announced to the views, so that row counts stay
    // consistent between a begin...() and its end...().
    int m_rowCount = 0;
    int m_shownCurrent = -1;
};
