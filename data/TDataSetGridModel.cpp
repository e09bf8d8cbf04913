#include "data/TDataSetGridModel.h"

#include "data/TCatalogQuery.h"

TDataSetGridModel::TDataSetGridModel(TCatalogQuery *query, const QVector<TGridColumn> &columns, QObject *parent)
    : QAbstractTableModel(parent), m_query(query), m_columns(columns)
{
    m_rows = QueryRows();
    connect(query, &TCatalogQuery::activeChanged, this, [this] { Reset(); });
    connect(query, &TCatalogQuery::rowAppended, this, [this](int row) {
        if (m_query->ControlsDisabled() || m_stale || row != m_rows) {
            m_stale = true;
            if (!m_query->ControlsDisabled())
                Reset();
            return;
        }
        beginInsertRows(QModelIndex(), row, row);
        m_rows = QueryRows();
        endInsertRows();
    });
    connect(query, &TCatalogQuery::rowRemoved, this, [this](int row) {
        if (m_query->ControlsDisabled() || m_stale || row >= m_rows) {
            m_stale = true;
            if (!m_query->ControlsDisabled())
                Reset();
            return;
        }
        beginRemoveRows(QModelIndex(), row, row);
        m_rows = QueryRows();
        endRemoveRows();
    });
    connect(query, &TCatalogQuery::rowChanged, this, [this](int row) {
        if (m_query->ControlsDisabled() || m_stale) {
            m_stale = true;
            return;
        }
        if (row < m_rows)
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
    connect(query, &TCatalogQuery::controlsEnabled, this, [this] {
        if (m_stale)
            Reset();
    });
}

void TDataSetGridModel::SetGetText(const QString &field, TGetTextHandler handler)
{
    m_getText.insert(field, std::move(handler));
    if (m_rows > 0)
        emit dataChanged(index(0, 0), index(m_rows - 1, columnCount() - 1));
}

int TDataSetGridModel::QueryRows() const
{
    return (m_query && m_query->Active()) ? m_query->RecordCount() : 0;
}

void TDataSetGridModel::Reset()
{
    if (m_query && m_query->ControlsDisabled()) {
        m_stale = true;
        return;
    }
    beginResetModel();
    m_rows = QueryRows();
    m_stale = false;
    endResetModel();
}

int TDataSetGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int TDataSetGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns.size();
}

int TDataSetGridModel::FieldIndexOf(int column) const
{
    if (!m_query || column < 0 || column >= m_columns.size())
        return -1;
    return m_query->FieldIndex(m_columns[column].field);
}

QVariant TDataSetGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    // While suspended the query may hold fewer rows than the views know of: those read as empty.
    if (!m_query || !m_query->Active() || index.row() >= m_query->RecordCount())
        return {};
    const int field = FieldIndexOf(index.column());
    const auto handler = m_getText.constFind(m_columns[index.column()].field);
    if (handler != m_getText.constEnd())
        return (*handler)(m_query->Value(index.row(), field));
    // Their contents are not shown: not read either.
    if (field >= 0 && m_query->Fields()[field].type == TFieldType::Memo)
        return QStringLiteral("(MEMO)");
    if (field >= 0 && m_query->Fields()[field].type == TFieldType::Blob)
        return QStringLiteral("(BLOB)");
    const QVariant v = m_query->Value(index.row(), field);
    if (v.isNull())
        return QString();
    return v.toString();
}

QVariant TDataSetGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::DisplayRole && orientation == Qt::Horizontal && section >= 0 && section < m_columns.size())
        return m_columns[section].title;
    return QAbstractTableModel::headerData(section, orientation, role);
}
