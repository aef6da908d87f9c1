// The data source: the dataset's rows as a Qt table model. It follows the
// dataset's signals instead of asking it again, so that a grid changes only
// the rows that changed.
#include "datasource.h"

#include "datetext.h"

#include <algorithm>

namespace
{

const QString currentRowMark = QStringLiteral("\u25B6");

QString displayText(AdoDataSet::FieldType type, const QVariant &value)
{
    const int kind = value.typeId();
    // Only a date's day: the programs store no time of day. A stored value
    // that names no date, or that a whole number's field cannot read (kept
    // as its text), shows an empty cell.
    if (type == AdoDataSet::FieldType::Date)
        return kind == QMetaType::QDate || kind == QMetaType::QDateTime
                   ? shortDateText(value.toDate())
                   : QString();
    if (type == AdoDataSet::FieldType::Integer && kind == QMetaType::QString)
        return {};
    // Only a yes/no field reads as bool.
    if (kind == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    return value.toString();
}

} // namespace

void DataSource::setDataSet(AdoDataSet *dataSet)
{
    if (m_dataSet == dataSet)
        return;
    if (m_dataSet)
        disconnect(m_dataSet, nullptr, this, nullptr);
    m_dataSet = dataSet;
    if (!dataSet)
        return refresh();
    connect(dataSet, &AdoDataSet::reset, this, &DataSource::refresh);
    connect(dataSet, &AdoDataSet::rowAboutToBeInserted, this,
            [this](int row) { beginInsertRows({}, row, row); });
    connect(dataSet, &AdoDataSet::rowInserted, this, [this] {
        ++m_rowCount;
        endInsertRows();
    });
    connect(dataSet, &AdoDataSet::rowAboutToBeRemoved, this,
            [this](int row) { beginRemoveRows({}, row, row); });
    connect(dataSet, &AdoDataSet::rowRemoved, this, [this] {
        --m_rowCount;
        if (m_shownCurrent >= m_rowCount)
            m_shownCurrent = -1;
        endRemoveRows();
    });
    connect(dataSet, &AdoDataSet::rowChanged, this, [this](int row) {
        if (row >= 0 && row < m_rowCount && columnCount() > 0)
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
    connect(dataSet, &AdoDataSet::currentChanged, this, &DataSource::setShownCurrent);
    // A dataset that goes away leaves the grid without rows.
    connect(dataSet, &QObject::destroyed, this, [this] { refresh(); });
    refresh();
}

void DataSource::setColumn(int column, const QString &fieldName, const QString &title,
                           Qt::Alignment alignment)
{
    if (column < 0)
        return;
    if (column >= int(m_columns.size())) {
        const int shownBefore = columnCount();
        beginInsertColumns({}, shownBefore, shownBefore + column - int(m_columns.size()));
        m_columns.resize(column + 1);
        endInsertColumns();
    }
    m_columns[column] = {m_dataSet ? m_dataSet->fieldIndex(fieldName) : -1, title, alignment,
                         m_columns[column].shown};
    const int shown = modelColumn(column);
    if (shown < 0)
        return;
    emit headerDataChanged(Qt::Horizontal, shown, shown);
    if (m_rowCount > 0)
        emit dataChanged(index(0, shown), index(m_rowCount - 1, shown));
}

void DataSource::setColumnShown(int column, bool shown)
{
    if (column < 0 || column >= int(m_columns.size()) || m_columns[column].shown == shown)
        return;
    const int position = shownBefore(column);
    if (shown)
        beginInsertColumns({}, position, position);
    else
        beginRemoveColumns({}, position, position);
    m_columns[column].shown = shown;
    if (shown)
        endInsertColumns();
    else
        endRemoveColumns();
}

int DataSource::modelColumn(int column) const
{
    if (column < 0 || column >= int(m_columns.size()) || !m_columns[column].shown)
        return -1;
    return shownBefore(column);
}

// The shown columns among the layout's first `count`.
int DataSource::shownBefore(int count) const
{
    return int(std::count_if(m_columns.begin(), m_columns.begin() + count,
                             [](const Column &column) { return column.shown; }));
}

const DataSource::Column *DataSource::shownColumn(int modelColumn) const
{
    for (const Column &column : m_columns) {
        if (column.shown && modelColumn-- == 0)
            return &column;
    }
    return nullptr;
}

void DataSource::refresh()
{
    beginResetModel();
    // One column a field, titled by its name, unless the layout was made for
    // the very fields the dataset has now.
    const QStringList fields = m_dataSet ? m_dataSet->fieldNames() : QStringList();
    if (!fields.isEmpty() && fields != m_layoutFields) {
        m_layoutFields = fields;
        m_columns.clear();
        for (int field = 0; field < fields.size(); ++field)
            m_columns.push_back({field, fields[field]});
    }
    const bool shown = m_dataSet && m_dataSet->active();
    m_rowCount = shown ? m_dataSet->recordCount() : 0;
    m_shownCurrent = shown ? m_dataSet->recNo() : -1;
    endResetModel();
}

void DataSource::setShownCurrent(int row)
{
    const int old = m_shownCurrent;
    m_shownCurrent = row >= 0 && row < m_rowCount ? row : -1;
    if (old >= 0 && old < m_rowCount)
        emit headerDataChanged(Qt::Vertical, old, old);
    if (m_shownCurrent >= 0)
        emit headerDataChanged(Qt::Vertical, m_shownCurrent, m_shownCurrent);
    emit currentRowChanged(row);
}

int DataSource::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int DataSource::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : shownBefore(int(m_columns.size()));
}

QVariant DataSource::data(const QModelIndex &index, int role) const
{
    const Column *column = index.isValid() ? shownColumn(index.column()) : nullptr;
    if (!column || !m_dataSet || index.row() >= m_rowCount || column->field < 0 ||
        column->field >= m_dataSet->fieldNames().size())
        return {};
    if (role == Qt::DisplayRole)
        return displayText(m_dataSet->fieldType(column->field),
                           m_dataSet->value(index.row(), column->field));
    if (role == Qt::EditRole)
        return m_dataSet->value(index.row(), column->field);
    return role == Qt::TextAlignmentRole ? QVariant(int(Qt::AlignLeft | Qt::AlignVCenter))
                                         : QVariant();
}

QVariant DataSource::headerData(int section, Qt::Orientation orientation, int role) const
{
    const Column *column = orientation == Qt::Horizontal ? shownColumn(section) : nullptr;
    if (role == Qt::DisplayRole && orientation == Qt::Vertical)
        return section == m_shownCurrent ? currentRowMark : QString();
    if (role == Qt::TextAlignmentRole && orientation == Qt::Vertical)
        return int(Qt::AlignCenter);
    if (!column)
        return {};
    if (role == Qt::DisplayRole)
        return column->title;
    return role == Qt::TextAlignmentRole ? QVariant(int(column->alignment)) : QVariant();
}
