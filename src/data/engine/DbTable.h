#pragma once
#include "DbDefs.h"
#include "TableStore.h"

#include <QDateTime>
#include <QObject>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

class DbTable;
class DbError;

// One column of a table object, reached by name or position.
class DbField {
public:
    DbField(DbTable *table, int index, const FieldDef &def) : m_table(table), m_index(index), m_def(def) {}

    const QString &fieldName() const { return m_def.name; }
    int index() const { return m_index; }
    FieldType dataType() const { return m_def.type; }
    bool isAutoInc() const { return m_def.type == FieldType::AutoInc; }
    int size() const { return m_def.size; }
    bool required() const { return m_def.required; }
    const QString &displayFormat() const { return m_def.displayFormat; }
    const QString &editMask() const { return m_def.editMask; }
    const FieldDef &def() const { return m_def; }

    QVariant value() const;
    void setValue(const QVariant &v);
    bool isNull() const;
    void clear() { setValue(QVariant()); }

    QString asString() const;
    void setAsString(const QString &text);
    double asFloat() const;
    void setAsFloat(double v) { setValue(v); }
    int asInteger() const;
    void setAsInteger(int v) { setValue(v); }
    QDateTime asDateTime() const;
    QDate asDate() const { return asDateTime().date(); }
    void setAsDateTime(const QDateTime &v);
    void setAsDate(const QDate &d) { setValue(d.isValid() ? QVariant(d) : QVariant()); }
    bool asBoolean() const;
    void setAsBoolean(bool v) { setValue(v); }
    // The text shown in lists: the display format applied.
    QString displayText() const;

    // Number texts in the program's locale: decimal comma, point accepted.
    static QString formatFloat(double v);
    static bool parseFloat(const QString &text, double *out);

private:
    QDateTime midnight(const QDate &d) const;

    DbTable *m_table;
    int m_index;
    FieldDef m_def;
    mutable QHash<qint64, QDateTime> m_midnights; // by Julian day
};

// A cursor over one table file: current record, order by an index, filter,
// editing states. Several windows share one object and so its current record.
class DbTable : public QObject {
    Q_OBJECT
public:
    enum State { Inactive, Browse, Insert, Edit };

    explicit DbTable(QObject *parent = nullptr);
    ~DbTable() override;

    // Folder of the table file and its name ("PaysDB" or "PaysDB.DB").
    void setDatabaseName(const QString &folder) { m_folder = folder; }
    QString databaseName() const { return m_folder; }
    void setTableName(const QString &name) { m_tableName = name; }
    QString tableName() const { return m_tableName; }
    QString filePath() const;

    void open();
    void openExclusive();
    void close();
    void setActive(bool on) { on ? open() : close(); }
    bool active() const { return m_state != Inactive; }
    bool exclusive() const { return m_exclusive; }
    State state() const { return m_state; }

    // A new empty table file from a definition (the table stays closed).
    static void createTable(const QString &folder, const TableDef &def);
    // A table kept in memory only, open at once.
    void openInMemory(const TableDef &def);

    // Navigation.
    int recordCount();
    int recNo();               // 1-based position in the current order among visible rows; 0 when none
    void setRecNo(int recNo);
    void first();
    void next();
    void prior();
    void last();
    void moveBy(int distance);
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    bool isEmpty() { return recordCount() == 0; }
    // A field of the visible row at recNo (1-based, current order) read
    // without moving the cursor, so lists and look-ups can show rows while a
    // row is being edited. Null outside the rows.
    QVariant valueAt(int recNo, int fieldIndex);

    // Editing.
    void append();
    void insert() { append(); }
    void edit();
    void post();
    void cancel();
    void deleteRecord();
    void appendRecord(const QVector<QVariant> &values);
    void emptyTable();
    void checkBrowseMode(); // posts a pending edit, as a move would

    // Fields.
    int fieldCount() const { return int(m_fields.size()); }
    DbField *fields(int index) const;
    DbField *fieldByName(const QString &name) const;
    DbField *findField(const QString &name) const;
    const TableDef &def() const;

    // Order and search.
    void setIndexFieldNames(const QString &names); // "Num" or "Payer;Num"
    QString indexFieldNames() const { return m_order.join(QLatin1Char(';')); }
    bool findKey(const QVector<QVariant> &keyValues);
    void findNearest(const QVector<QVariant> &keyValues);
    enum LocateOption { CaseInsensitive = 1, PartialKey = 2 };
    bool locate(const QString &field, const QVariant &value, int options = 0);

    // Filter: the callback decides for each row while the flag is on.
    using FilterFn = std::function<bool(DbTable &)>;
    void setOnFilterRecord(FilterFn fn) { m_filter = std::move(fn); }
    const FilterFn &onFilterRecord() const { return m_filter; }
    void setFiltered(bool on);
    bool filtered() const { return m_filtered; }
    // Counts the passes of the filter over the table, so that a callback can
    // work out what it needs once per pass.
    int filterPass() const { return m_filterPass; }

    // Sees changes made by other copies of the program.
    void refresh();
    // Rebuilds the rows only when another copy changed the table; cheap
    // enough to call from a timer. True when the rows were rebuilt.
    bool refreshIfChanged();
    // Many rows at once, one write.
    void startTransaction();
    void commit();
    void rollback();
    bool inTransaction() const;

    // The id of the current row (the engine's row identity), 0 when none.
    qint64 currentId() const;

    // For the fields.
    QVariant fieldValue(int index) const;
    void setFieldValue(int index, const QVariant &value);
    void disableControls() { ++m_controlsDisabled; }
    void enableControls();
    bool controlsDisabled() const { return m_controlsDisabled > 0; }

Q_SIGNALS:
    void recordChanged();     // another row is current, or rows changed
    void stateChanged();
    void fieldChanged(int index);

private:
    void openStore(bool exclusive);
    void requireActive() const;
    void reload(qint64 keepId);
    void resolvePending();
    const StoredRow *currentRow() const;
    const StoredRow *rowAt(int pos) const;
    void setPos(int pos);
    void notifyRecord();
    int compareKey(int pos, const QVector<QVariant> &key) const;
    int lowerBound(const QVector<QVariant> &key) const;
    [[noreturn]] void rethrow(const DbError &e) const;
    void checkExternal();

    QString m_folder;
    QString m_tableName;
    std::unique_ptr<TableStore> m_store;
    std::vector<std::unique_ptr<DbField>> m_fields;
    State m_state = Inactive;
    bool m_exclusive = false;
    bool m_registered = false;
    QStringList m_order;
    QVector<int> m_orderFields;
    QVector<qint64> m_ids;     // visible rows in the current order
    int m_pos = -1;
    bool m_eof = true;
    bool m_bof = true;
    bool m_pending = false;    // our own writes: positions must be rebuilt
    qint64 m_pendingId = 0;
    mutable QHash<qint64, StoredRow> m_cache;
    Row m_buf;                 // the row being inserted or edited
    qint64 m_editId = 0;
    qint64 m_editVersion = 0;
    RowScan *m_scan = nullptr; // set while the filter looks at each row
    FilterFn m_filter;
    bool m_filtered = false;
    int m_filterPass = 0;
    int m_controlsDisabled = 0;
};

// Binds data-aware controls to a table and tells them when to show another
// row, another state or a changed field. Disabled, it stops them following.
class DbDataSource : public QObject {
    Q_OBJECT
public:
    explicit DbDataSource(QObject *parent = nullptr) : QObject(parent) {}
    void setDataSet(DbTable *table);
    DbTable *dataSet() const { return m_table; }
    void setEnabled(bool on);
    bool enabled() const { return m_enabled; }

Q_SIGNALS:
    void recordChanged();
    void stateChanged();
    void fieldChanged(int index);

private:
    DbTable *m_table = nullptr;
    bool m_enabled = true;
    QList<QMetaObject::Connection> m_links;
};
