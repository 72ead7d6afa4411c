#pragma once
#include "DbTable.h"

#include <QAbstractTableModel>
#include <QElapsedTimer>
#include <QIcon>
#include <QPointer>
#include <QTableView>
#include <functional>

// One visible row of a list's table, read in place (the cursor does not move).
class DbListRow {
public:
    DbListRow(DbTable *table, int recNo) : m_table(table), m_recNo(recNo) {}
    int recNo() const { return m_recNo; }
    QVariant value(const QString &fieldName) const; // null for an unknown field
    DbTable *table() const { return m_table; }

private:
    DbTable *m_table;
    int m_recNo;
};

// A column of a list: a field shown as text, or a picture chosen per row.
struct DbListColumn {
    enum Kind { Text, Picture };
    Kind kind = Text;
    QString field;   // may stay empty for a picture whose predicate needs no field
    QString caption;
    int width = 64;  // design width; the columns share the list's width in these proportions
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    // Text of the field's value; by default the field's display text (its
    // display format, dates as dd.MM.yyyy).
    std::function<QString(const QVariant &value)> formatter;
    // Picture columns: true shows iconTrue, false iconFalse; by default the
    // field's value as a Boolean. The descriptions are the tool tips.
    std::function<bool(const DbListRow &row)> predicate;
    QIcon iconTrue, iconFalse;
    QString textTrue, textFalse;

    static DbListColumn text(const QString &field, const QString &caption, int width,
                             Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter,
                             std::function<QString(const QVariant &)> formatter = {});
    static DbListColumn picture(const QString &field, const QString &caption, int width,
                                const QIcon &iconTrue, const QString &textTrue,
                                const QIcon &iconFalse, const QString &textFalse,
                                std::function<bool(const DbListRow &)> predicate = {});
};

// A read-only model over the visible rows of the table behind a data source,
// in the table's current order. Rows are read on demand through the engine's
// row cache (DbTable::valueAt) for the cells being painted only, so a table
// of any size costs nothing until shown. The model follows the source: a
// change of the row count or a reopen resets it, any other change repaints.
class DbTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DbTableModel(QObject *parent = nullptr);
    void setDataSource(DbDataSource *source);
    DbDataSource *dataSource() const { return m_source; }
    DbTable *table() const;
    void setColumns(const QVector<DbListColumn> &columns);
    const QVector<DbListColumn> &columns() const { return m_columns; }

    // The text of a cell as shown (empty for a picture column).
    QString cellText(int row, int column) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Brings the model up to the table (the source's signals call it).
    void sync();

Q_SIGNALS:
    // After sync(): the row that is current in the table (-1: none).
    void currentRowChanged(int row);

private:
    void resolveFields();
    QVariant valueOf(int row, int column) const;

    QPointer<DbDataSource> m_source;
    QList<QMetaObject::Connection> m_links;
    QVector<DbListColumn> m_columns;
    QVector<int> m_fieldIndex; // per column; -1 when the table has no such field
    int m_rows = 0;
    bool m_active = false;
};

// A read-only list over a table: the current row follows the table's
// current record and choosing a row moves the table; columns fill the
// width in the proportions of their widths; grid lines both ways. Typing
// searches the focused column: the typed letters (reset after a pause of
// searchTimeout() ms) find the first row whose text there starts with
// them, ignoring case; a letter that finds nothing is dropped. Enter and
// double-click are reported as signals.
class DbListView : public QTableView {
    Q_OBJECT
public:
    explicit DbListView(QWidget *parent = nullptr);
    void setDataSource(DbDataSource *source);
    void setColumns(const QVector<DbListColumn> &columns);
    DbTableModel *tableModel() const { return m_model; }
    // Replaces the model (it is adopted); the source and columns move over.
    void setTableModel(DbTableModel *model);

    int searchTimeout() const { return m_searchTimeout; }
    void setSearchTimeout(int ms) { m_searchTimeout = ms; }
    QString searchText() const { return m_search; }
    void resetSearch() { m_search.clear(); }
    // Moves the table to the first row whose text in the column starts with
    // text (ignoring case); false, and no move, when there is none. A key
    // column (the first field of the table's order, a text) is searched by
    // the engine; any other column from the current row on, wrapping.
    bool search(const QString &text, int column);

Q_SIGNALS:
    void enterPressed();
    void rowDoubleClicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void updateGeometries() override;

private:
    void followTable(int row);
    void fitColumns();
    void connectModel();

    DbTableModel *m_model = nullptr;
    QMetaObject::Connection m_follow;
    bool m_following = false;
    bool m_fitting = false;
    int m_fittedWidth = -1;
    QString m_search;
    QElapsedTimer m_lastKey;
    int m_searchTimeout = 1000;
};
