#pragma once
// The table model a grid shows over an open query. While the query's controls are disabled the
// model holds still; resuming shows the query as it then stands.
#include <QAbstractTableModel>
#include <QPointer>
#include <QHash>
#include <QVector>
#include <functional>

#include "data/TCatalogQuery.h"

struct TGridColumn {
    QString field;
    QString title;
    int width = 64;
};

class TDataSetGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    TDataSetGridModel(TCatalogQuery *query, const QVector<TGridColumn> &columns, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // A memo column shows "(MEMO)" unless a display-text handler gives its text.
    using TGetTextHandler = std::function<QString(const QVariant &value)>;
    void SetGetText(const QString &field, TGetTextHandler handler);

    const QVector<TGridColumn> &Columns() const { return m_columns; }
    TCatalogQuery *Query() const { return m_query; }

private:
    void Reset();
    int QueryRows() const;
    int FieldIndexOf(int column) const;

    QPointer<TCatalogQuery> m_query;
    QVector<TGridColumn> m_columns;
    QHash<QString, TGetTextHandler> m_getText;
    int m_rows = 0;      // what the views have been told
    bool m_stale = false; // the query changed while controls were disabled
};
