#pragma once
#include "TableStore.h"

struct sqlite3;
struct sqlite3_stmt;

// One table in one SQLite file <Name>.DB, in rollback-journal mode so that a
// closed table is exactly one file, safe on a shared network folder.
class SqliteStore : public TableStore {
public:
    // Opens an existing table file; throws DbError(NotATable) when the file is
    // not a table of ours or is damaged.
    static std::unique_ptr<SqliteStore> open(const QString &path, int busyTimeoutMs);
    // Creates a new empty table file (replacing nothing: the file must not exist).
    static void create(const QString &path, const TableDef &def);
    // A table that lives in memory only.
    static std::unique_ptr<SqliteStore> createInMemory(const TableDef &def);

    ~SqliteStore() override;

    const TableDef &def() const override { return m_def; }
    QString path() const override { return m_path; }
    QVector<qint64> orderedIds(const QStringList &order) override;
    std::unique_ptr<RowScan> scan(const QStringList &order) override;
    void fetch(const QVector<qint64> &ids, QHash<qint64, StoredRow> &out) override;
    bool fetchOne(qint64 id, StoredRow &out) override;
    QVector<qint64> idsWhere(int field, const QVariant &value, bool caseInsensitive, bool partial,
                             const QStringList &order) override;
    qint64 insert(const Row &values) override;
    void update(qint64 id, qint64 version, const Row &values) override;
    void remove(qint64 id) override;
    void removeAll() override;
    bool changedElsewhere() override;
    void begin() override;
    void commit() override;
    void rollback() override;
    bool inTransaction() const override { return m_inTransaction; }

    // Helpers shared with the scan.
    static QVariant columnValue(sqlite3_stmt *st, int column, FieldType type);

private:
    SqliteStore() = default;
    sqlite3_stmt *prepare(const QString &sql);
    // A prepared statement kept under a key; the SQL is only built the first time.
    template <typename MakeSql>
    sqlite3_stmt *cached(const QString &key, MakeSql makeSql)
    {
        sqlite3_stmt *&st = m_stmts[key];
        if (!st)
            st = prepare(makeSql());
        return resetStatement(st);
    }
    static sqlite3_stmt *resetStatement(sqlite3_stmt *st);
    void bindRow(sqlite3_stmt *st, const Row &values, int firstParam, bool skipAutoInc);
    void exec(const char *sql);
    [[noreturn]] void fail(int rc, const QString &what = QString());
    QString orderBy(const QStringList &order) const;
    QString columnList() const;
    void readRow(sqlite3_stmt *st, int first, Row &out) const;

    sqlite3 *m_db = nullptr;
    QString m_path;
    TableDef m_def;
    int m_autoInc = -1;
    bool m_inTransaction = false;
    qint64 m_dataVersion = -1;
    QHash<QString, sqlite3_stmt *> m_stmts;
    QVector<bool> m_scanFields; // fields read by passes in the file's order
};
