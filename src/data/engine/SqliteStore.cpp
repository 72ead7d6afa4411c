#include "SqliteStore.h"

#include "DbError.h"

#include <algorithm>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QDateTime>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <sqlite3.h>

namespace {

const char *kFormat = "kviton-table/1";
const QDate kEpoch(1899, 12, 30);
constexpr int kFetchBlock = 64;

QString q(const QString &name) { return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"'); }

QString typeName(FieldType t)
{
    switch (t) {
    case FieldType::String: return QStringLiteral("string");
    case FieldType::Memo: return QStringLiteral("memo");
    case FieldType::Float: return QStringLiteral("float");
    case FieldType::Integer: return QStringLiteral("integer");
    case FieldType::AutoInc: return QStringLiteral("autoinc");
    case FieldType::Date: return QStringLiteral("date");
    case FieldType::DateTime: return QStringLiteral("datetime");
    case FieldType::Boolean: return QStringLiteral("boolean");
    }
    return QString();
}

bool typeFromName(const QString &s, FieldType *t)
{
    static const FieldType all[] = {FieldType::String, FieldType::Memo, FieldType::Float, FieldType::Integer,
                                    FieldType::AutoInc, FieldType::Date, FieldType::DateTime, FieldType::Boolean};
    for (FieldType f : all)
        if (typeName(f) == s) {
            *t = f;
            return true;
        }
    return false;
}

QString sqlType(FieldType t)
{
    switch (t) {
    case FieldType::String:
    case FieldType::Memo: return QStringLiteral("TEXT");
    case FieldType::Float:
    case FieldType::DateTime: return QStringLiteral("REAL");
    default: return QStringLiteral("INTEGER");
    }
}

// CREATE TABLE for a definition: the auto-increment field is the row id,
// and every row carries the version that tells a stale edit.
QString createTableSql(const TableDef &def)
{
    QStringList cols;
    for (const FieldDef &f : def.fields) {
        if (f.type == FieldType::AutoInc)
            cols << q(f.name) + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT");
        else
            cols << q(f.name) + QLatin1Char(' ') + sqlType(f.type);
    }
    cols << QStringLiteral("kv_ver INTEGER NOT NULL DEFAULT 0");
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(q(def.name), cols.join(QStringLiteral(", ")));
}

QJsonObject defToJson(const TableDef &def)
{
    QJsonArray fields;
    for (const FieldDef &f : def.fields)
        fields.append(QJsonObject{{QStringLiteral("name"), f.name},
                                  {QStringLiteral("type"), typeName(f.type)},
                                  {QStringLiteral("size"), f.size},
                                  {QStringLiteral("required"), f.required},
                                  {QStringLiteral("displayFormat"), f.displayFormat},
                                  {QStringLiteral("editMask"), f.editMask}});
    QJsonArray indexes;
    for (const IndexDef &i : def.indexes)
        indexes.append(QJsonObject{{QStringLiteral("name"), i.name},
                                   {QStringLiteral("fields"), QJsonArray::fromStringList(i.fields)},
                                   {QStringLiteral("unique"), i.unique},
                                   {QStringLiteral("ignoreEmpty"), i.ignoreEmpty}});
    return QJsonObject{{QStringLiteral("name"), def.name},
                       {QStringLiteral("fields"), fields},
                       {QStringLiteral("primaryKey"), QJsonArray::fromStringList(def.primaryKey)},
                       {QStringLiteral("indexes"), indexes}};
}

QStringList toStringList(const QJsonValue &v)
{
    QStringList out;
    for (const QJsonValue &e : v.toArray())
        out << e.toString();
    return out;
}

bool defFromJson(const QByteArray &json, TableDef *def)
{
    const QJsonObject o = QJsonDocument::fromJson(json).object();
    def->name = o.value(QStringLiteral("name")).toString();
    for (const QJsonValue &fv : o.value(QStringLiteral("fields")).toArray()) {
        const QJsonObject f = fv.toObject();
        FieldDef fd;
        fd.name = f.value(QStringLiteral("name")).toString();
        if (!typeFromName(f.value(QStringLiteral("type")).toString(), &fd.type) || fd.name.isEmpty())
            return false;
        fd.size = f.value(QStringLiteral("size")).toInt();
        fd.required = f.value(QStringLiteral("required")).toBool();
        fd.displayFormat = f.value(QStringLiteral("displayFormat")).toString();
        fd.editMask = f.value(QStringLiteral("editMask")).toString();
        def->fields.append(fd);
    }
    def->primaryKey = toStringList(o.value(QStringLiteral("primaryKey")));
    for (const QJsonValue &iv : o.value(QStringLiteral("indexes")).toArray()) {
        const QJsonObject i = iv.toObject();
        def->indexes.append(IndexDef{i.value(QStringLiteral("name")).toString(), toStringList(i.value(QStringLiteral("fields"))),
                                     i.value(QStringLiteral("unique")).toBool(), i.value(QStringLiteral("ignoreEmpty")).toBool()});
    }
    return !def->name.isEmpty() && !def->fields.isEmpty();
}

QString notATable(const QString &path)
{
    return QStringLiteral("Файл %1 не является таблицей программы или повреждён").arg(QDir::toNativeSeparators(path));
}

// SQLite decodes every column a statement selects, so a pass selects only the
// fields asked for so far. In the file's order a field asked for the first
// time restarts the statement at the current row with that column added, and
// the set is kept for the next pass; in an index order every field is read.
class SqliteScan : public RowScan {
public:
    SqliteScan(sqlite3 *db, const TableDef &def, const QString &orderBy, QVector<bool> *fields)
        : m_db(db), m_def(def), m_orderBy(orderBy), m_fields(fields)
    {
        if (!m_fields) {
            m_all.fill(true, def.fields.size());
            m_fields = &m_all;
        } else if (m_fields->size() != def.fields.size()) {
            m_fields->fill(false, def.fields.size());
        }
        m_st = prepare(false);
    }
    ~SqliteScan() override { sqlite3_finalize(m_st); }
    bool next() override
    {
        const int rc = sqlite3_step(m_st);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            throw DbError(rc == SQLITE_BUSY ? DbError::Busy : DbError::General, QString::fromUtf8(sqlite3_errmsg(m_db)));
        return false;
    }
    qint64 id() const override { return sqlite3_column_int64(m_st, 0); }
    QVariant value(int field) const override
    {
        if (m_column[field] < 0)
            const_cast<SqliteScan *>(this)->take(field);
        return SqliteStore::columnValue(m_st, m_column[field], m_def.fields[field].type);
    }

private:
    sqlite3_stmt *prepare(bool fromCurrent)
    {
        QStringList cols{QStringLiteral("rowid")};
        m_column.fill(-1, m_def.fields.size());
        for (int i = 0; i < m_def.fields.size(); ++i)
            if ((*m_fields)[i]) {
                m_column[i] = int(cols.size());
                cols << q(m_def.fields[i].name);
            }
        const QString sql = QStringLiteral("SELECT %1 FROM %2%3%4")
                                .arg(cols.join(QStringLiteral(", ")), q(m_def.name),
                                     fromCurrent ? QStringLiteral(" WHERE rowid >= ?") : QString(), m_orderBy);
        const QByteArray u = sql.toUtf8();
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(m_db, u.constData(), int(u.size()), &st, nullptr) != SQLITE_OK) {
            const QString msg = QString::fromUtf8(sqlite3_errmsg(m_db));
            sqlite3_finalize(st);
            throw DbError(msg);
        }
        return st;
    }

    // The old statement stays open until the new one stands on the same row,
    // so that both read the same state of the file.
    void take(int field)
    {
        const qint64 at = id();
        (*m_fields)[field] = true;
        sqlite3_stmt *st = prepare(true);
        sqlite3_bind_int64(st, 1, at);
        const int rc = sqlite3_step(st);
        if (rc != SQLITE_ROW || sqlite3_column_int64(st, 0) != at) {
            const QString msg = QString::fromUtf8(sqlite3_errmsg(m_db));
            sqlite3_finalize(st);
            throw DbError(rc == SQLITE_BUSY ? DbError::Busy : DbError::General, msg);
        }
        sqlite3_finalize(m_st);
        m_st = st;
    }

    sqlite3 *m_db;
    const TableDef &m_def;
    QString m_orderBy;
    QVector<bool> *m_fields;
    QVector<bool> m_all;
    QVector<int> m_column; // result column of each field, -1 when not selected
    sqlite3_stmt *m_st = nullptr;
};

} // namespace

QVariant SqliteStore::columnValue(sqlite3_stmt *st, int column, FieldType type)
{
    if (sqlite3_column_type(st, column) == SQLITE_NULL)
        return QVariant();
    switch (type) {
    case FieldType::String:
    case FieldType::Memo: {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(st, column));
        return QString::fromUtf8(text, sqlite3_column_bytes(st, column));
    }
    case FieldType::Float: return sqlite3_column_double(st, column);
    case FieldType::Integer:
    case FieldType::AutoInc: return static_cast<int>(sqlite3_column_int64(st, column));
    case FieldType::Date: return kEpoch.addDays(sqlite3_column_int64(st, column));
    case FieldType::DateTime: {
        const double d = sqlite3_column_double(st, column);
        const qint64 ms = qint64(d * 86400000.0 + (d >= 0 ? 0.5 : -0.5));
        return QDateTime(kEpoch, QTime(0, 0)).addMSecs(ms);
    }
    case FieldType::Boolean: return sqlite3_column_int64(st, column) != 0;
    }
    return QVariant();
}

std::unique_ptr<SqliteStore> SqliteStore::open(const QString &path, int busyTimeoutMs)
{
    if (!QFileInfo(path).isFile())
        throw DbError(QStringLiteral("Таблица %1 не найдена").arg(QDir::toNativeSeparators(path)));
    std::unique_ptr<SqliteStore> s(new SqliteStore);
    s->m_path = path;
    const QByteArray p = path.toUtf8();
    int rc = sqlite3_open_v2(p.constData(), &s->m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK)
        throw DbError(DbError::NotATable, notATable(path));
    sqlite3_busy_timeout(s->m_db, busyTimeoutMs);
    sqlite3_extended_result_codes(s->m_db, 1);
    // Read the definition; anything else than our marker means "not a table of ours".
    sqlite3_stmt *st = nullptr;
    rc = sqlite3_prepare_v2(s->m_db, "SELECT key, value FROM kv_table", -1, &st, nullptr);
    if (rc != SQLITE_OK) {
        const bool busy = (rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED;
        sqlite3_finalize(st);
        if (busy)
            throw DbError(DbError::Busy, QString::fromUtf8(sqlite3_errmsg(s->m_db)));
        throw DbError(DbError::NotATable, notATable(path));
    }
    QByteArray format, json;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        const QByteArray key(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
        const QByteArray value(reinterpret_cast<const char *>(sqlite3_column_blob(st, 1)), sqlite3_column_bytes(st, 1));
        if (key == "format")
            format = value;
        else if (key == "definition")
            json = value;
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE || format != kFormat || !defFromJson(json, &s->m_def))
        throw DbError(DbError::NotATable, notATable(path));
    for (int i = 0; i < s->m_def.fields.size(); ++i)
        if (s->m_def.fields[i].type == FieldType::AutoInc)
            s->m_autoInc = i;
    try {
        s->exec("PRAGMA journal_mode=DELETE");
        s->exec("PRAGMA cache_size=-16000");
    } catch (const DbError &e) {
        if (e.kind() == DbError::Busy)
            throw;
        throw DbError(DbError::NotATable, notATable(path));
    }
    s->changedElsewhere();
    return s;
}

void SqliteStore::create(const QString &path, const TableDef &def)
{
    if (QFileInfo::exists(path))
        throw DbError(QStringLiteral("Таблица %1 уже существует").arg(QDir::toNativeSeparators(path)));
    sqlite3 *db = nullptr;
    const QByteArray p = path.toUtf8();
    if (sqlite3_open_v2(p.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw DbError(QStringLiteral("Не удалось создать таблицу %1").arg(QDir::toNativeSeparators(path)));
    }
    QString sql = QStringLiteral("PRAGMA journal_mode=DELETE; BEGIN; %1;").arg(createTableSql(def));
    sql += QStringLiteral("CREATE TABLE kv_table (key TEXT PRIMARY KEY, value BLOB);");
    auto fieldList = [](const QStringList &fields) {
        QStringList out;
        for (const QString &f : fields)
            out << q(f);
        return out.join(QStringLiteral(", "));
    };
    if (!def.primaryKey.isEmpty())
        sql += QStringLiteral("CREATE UNIQUE INDEX kv_pk ON %1 (%2);").arg(q(def.name), fieldList(def.primaryKey));
    int n = 0;
    for (const IndexDef &i : def.indexes) {
        QString where;
        if (i.ignoreEmpty)
            where = QStringLiteral(" WHERE %1 IS NOT NULL AND %1 <> ''").arg(q(i.fields.first()));
        sql += QStringLiteral("CREATE %1INDEX kv_ix%2 ON %3 (%4)%5;")
                   .arg(i.unique ? QStringLiteral("UNIQUE ") : QString())
                   .arg(n++)
                   .arg(q(def.name), fieldList(i.fields), where);
    }
    const QByteArray json = QJsonDocument(defToJson(def)).toJson(QJsonDocument::Compact);
    sql += QStringLiteral("INSERT INTO kv_table VALUES ('format', '%1'), ('definition', '%2'); COMMIT;")
               .arg(QString::fromLatin1(kFormat), QString::fromUtf8(json).replace(QLatin1Char('\''), QStringLiteral("''")));
    char *err = nullptr;
    const QByteArray s = sql.toUtf8();
    const int rc = sqlite3_exec(db, s.constData(), nullptr, nullptr, &err);
    const QString message = err ? QString::fromUtf8(err) : QString();
    sqlite3_free(err);
    sqlite3_close(db);
    if (rc != SQLITE_OK) {
        QFile::remove(path);
        throw DbError(QStringLiteral("Не удалось создать таблицу %1: %2").arg(QDir::toNativeSeparators(path), message));
    }
}

std::unique_ptr<SqliteStore> SqliteStore::createInMemory(const TableDef &def)
{
    // Built through a temporary file name is not needed: SQLite's ":memory:".
    std::unique_ptr<SqliteStore> s(new SqliteStore);
    sqlite3_open_v2(":memory:", &s->m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    s->m_def = def;
    for (int i = 0; i < def.fields.size(); ++i)
        if (def.fields[i].type == FieldType::AutoInc)
            s->m_autoInc = i;
    s->exec(createTableSql(def).toUtf8().constData());
    s->m_path = QStringLiteral(":memory:");
    return s;
}

SqliteStore::~SqliteStore()
{
    for (sqlite3_stmt *st : std::as_const(m_stmts))
        sqlite3_finalize(st);
    if (m_db) {
        if (m_inTransaction)
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(m_db);
    }
}

void SqliteStore::fail(int rc, const QString &what)
{
    const int primary = rc & 0xff;
    const QString msg = QString::fromUtf8(sqlite3_errmsg(m_db));
    if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY)
        throw DbError(DbError::KeyViolation, DbError::keyViolationText());
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
        throw DbError(DbError::Busy, msg);
    if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB)
        throw DbError(DbError::NotATable, notATable(m_path));
    throw DbError(what.isEmpty() ? msg : what + QStringLiteral(": ") + msg);
}

void SqliteStore::exec(const char *sql)
{
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        fail(rc);
}

sqlite3_stmt *SqliteStore::prepare(const QString &sql)
{
    sqlite3_stmt *st = nullptr;
    const QByteArray s = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(m_db, s.constData(), int(s.size()), &st, nullptr);
    if (rc != SQLITE_OK)
        fail(rc);
    return st;
}

sqlite3_stmt *SqliteStore::resetStatement(sqlite3_stmt *st)
{
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);
    return st;
}

QString SqliteStore::orderBy(const QStringList &order) const
{
    QStringList parts;
    for (const QString &f : order) {
        const int i = m_def.indexOf(f);
        if (i < 0)
            throw DbError(QStringLiteral("Поле «%1» не найдено").arg(f));
        parts << q(m_def.fields[i].name);
    }
    parts << QStringLiteral("rowid");
    return QStringLiteral(" ORDER BY ") + parts.join(QStringLiteral(", "));
}

QString SqliteStore::columnList() const
{
    QStringList cols;
    for (const FieldDef &f : m_def.fields)
        cols << q(f.name);
    return cols.join(QStringLiteral(", "));
}

void SqliteStore::readRow(sqlite3_stmt *st, int first, Row &out) const
{
    const int n = int(m_def.fields.size());
    out.resize(n);
    for (int i = 0; i < n; ++i)
        out[i] = columnValue(st, first + i, m_def.fields[i].type);
}

QVector<qint64> SqliteStore::orderedIds(const QStringList &order)
{
    const QString key = QStringLiteral("ids:") + order.join(QLatin1Char(';'));
    sqlite3_stmt *st = cached(key, [&] { return QStringLiteral("SELECT rowid FROM %1%2").arg(q(m_def.name), orderBy(order)); });
    QVector<qint64> ids;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW)
        ids.append(sqlite3_column_int64(st, 0));
    if (rc != SQLITE_DONE)
        fail(rc);
    sqlite3_reset(st);
    return ids;
}

std::unique_ptr<RowScan> SqliteStore::scan(const QStringList &order)
{
    return std::make_unique<SqliteScan>(m_db, m_def, orderBy(order), order.isEmpty() ? &m_scanFields : nullptr);
}

void SqliteStore::fetch(const QVector<qint64> &ids, QHash<qint64, StoredRow> &out)
{
    if (ids.isEmpty())
        return;
    // Ids close together (a walk in the file's order) are one range scan,
    // which reads the pages in order instead of looking each row up.
    const auto [lo, hi] = std::minmax_element(ids.cbegin(), ids.cend());
    if (*hi - *lo < 2 * ids.size()) {
        sqlite3_stmt *st = cached(QStringLiteral("range"), [&] {
            return QStringLiteral("SELECT rowid, kv_ver, %1 FROM %2 WHERE rowid BETWEEN ? AND ?").arg(columnList(), q(m_def.name));
        });
        sqlite3_bind_int64(st, 1, *lo);
        sqlite3_bind_int64(st, 2, *hi);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            StoredRow &r = out[sqlite3_column_int64(st, 0)];
            r.version = sqlite3_column_int64(st, 1);
            readRow(st, 2, r.values);
        }
        sqlite3_reset(st);
        if (rc != SQLITE_DONE)
            fail(rc);
        return;
    }
    QString marks = QStringLiteral("?");
    for (int i = 1; i < kFetchBlock; ++i)
        marks += QStringLiteral(",?");
    sqlite3_stmt *st = cached(QStringLiteral("fetch"), [&] { return QStringLiteral("SELECT rowid, kv_ver, %1 FROM %2 WHERE rowid IN (%3)").arg(columnList(), q(m_def.name), marks); });
    for (int from = 0; from < ids.size(); from += kFetchBlock) {
        sqlite3_reset(st);
        const int n = int(qMin<qsizetype>(kFetchBlock, ids.size() - from));
        for (int i = 0; i < kFetchBlock; ++i)
            sqlite3_bind_int64(st, i + 1, ids[from + (i < n ? i : 0)]);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            StoredRow &r = out[sqlite3_column_int64(st, 0)];
            r.version = sqlite3_column_int64(st, 1);
            readRow(st, 2, r.values);
        }
        if (rc != SQLITE_DONE)
            fail(rc);
    }
    sqlite3_reset(st);
}

bool SqliteStore::fetchOne(qint64 id, StoredRow &out)
{
    sqlite3_stmt *st = cached(QStringLiteral("one"), [&] { return QStringLiteral("SELECT kv_ver, %1 FROM %2 WHERE rowid = ?").arg(columnList(), q(m_def.name)); });
    sqlite3_bind_int64(st, 1, id);
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) {
        out.version = sqlite3_column_int64(st, 0);
        readRow(st, 1, out.values);
        sqlite3_reset(st);
        return true;
    }
    if (rc != SQLITE_DONE)
        fail(rc);
    sqlite3_reset(st);
    return false;
}

static void bindValue(sqlite3_stmt *st, int param, const QVariant &v, FieldType type)
{
    if (!v.isValid() || v.isNull()) {
        sqlite3_bind_null(st, param);
        return;
    }
    switch (type) {
    case FieldType::String:
    case FieldType::Memo:
        if (v.typeId() == QMetaType::QString) {
            // The row outlives the statement's step: SQLite may read the text in place.
            const QString *text = static_cast<const QString *>(v.constData());
            sqlite3_bind_text16(st, param, text->utf16(), int(text->size() * sizeof(char16_t)), SQLITE_STATIC);
        } else {
            const QByteArray u = v.toString().toUtf8();
            sqlite3_bind_text(st, param, u.constData(), int(u.size()), SQLITE_TRANSIENT);
        }
        break;
    case FieldType::Float: sqlite3_bind_double(st, param, v.toDouble()); break;
    case FieldType::Integer:
    case FieldType::AutoInc: sqlite3_bind_int64(st, param, v.toLongLong()); break;
    case FieldType::Boolean: sqlite3_bind_int(st, param, v.toBool() ? 1 : 0); break;
    case FieldType::Date: sqlite3_bind_int64(st, param, kEpoch.daysTo(v.toDate())); break;
    case FieldType::DateTime: {
        const QDateTime dt = v.toDateTime();
        sqlite3_bind_double(st, param, QDateTime(kEpoch, QTime(0, 0)).msecsTo(dt) / 86400000.0);
        break;
    }
    }
}

void SqliteStore::bindRow(sqlite3_stmt *st, const Row &values, int firstParam, bool skipAutoInc)
{
    int p = firstParam;
    for (int i = 0; i < m_def.fields.size(); ++i) {
        if (skipAutoInc && i == m_autoInc)
            continue;
        bindValue(st, p++, i < values.size() ? values[i] : QVariant(), m_def.fields[i].type);
    }
}

qint64 SqliteStore::insert(const Row &values)
{
    // The auto-increment field is numbered by the engine unless a value is given.
    const bool giveId = m_autoInc >= 0 && m_autoInc < values.size() && values[m_autoInc].isValid() && !values[m_autoInc].isNull();
    static const QString withId = QStringLiteral("insert-id"), withoutId = QStringLiteral("insert");
    sqlite3_stmt *st = cached(giveId ? withId : withoutId, [&] {
        QStringList cols, marks;
        for (int i = 0; i < m_def.fields.size(); ++i) {
            if (i == m_autoInc && !giveId)
                continue;
            cols << q(m_def.fields[i].name);
            marks << QStringLiteral("?");
        }
        return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(q(m_def.name), cols.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    });
    bindRow(st, values, 1, !giveId);
    const int rc = sqlite3_step(st);
    sqlite3_reset(st);
    if (rc != SQLITE_DONE)
        fail(rc);
    return sqlite3_last_insert_rowid(m_db);
}

void SqliteStore::update(qint64 id, qint64 version, const Row &values)
{
    QStringList sets;
    for (int i = 0; i < m_def.fields.size(); ++i)
        if (i != m_autoInc)
            sets << q(m_def.fields[i].name) + QStringLiteral("=?");
    const int n = int(sets.size());
    sqlite3_stmt *st = cached(QStringLiteral("update"), [&] { return QStringLiteral("UPDATE %1 SET %2, kv_ver = kv_ver + 1 WHERE rowid = ? AND kv_ver = ?").arg(q(m_def.name), sets.join(QLatin1Char(','))); });
    bindRow(st, values, 1, true);
    sqlite3_bind_int64(st, n + 1, id);
    sqlite3_bind_int64(st, n + 2, version);
    const int rc = sqlite3_step(st);
    sqlite3_reset(st);
    if (rc != SQLITE_DONE)
        fail(rc);
    if (sqlite3_changes(m_db) == 0) {
        StoredRow now;
        if (!fetchOne(id, now))
            throw DbError(DbError::Conflict, QStringLiteral("Запись удалена другим пользователем. Изменения не сохранены."));
        throw DbError(DbError::Conflict,
                      QStringLiteral("Запись изменена другим пользователем после начала правки. Изменения не сохранены: "
                                     "отмените правку и внесите её заново."));
    }
}

void SqliteStore::remove(qint64 id)
{
    sqlite3_stmt *st = cached(QStringLiteral("delete"), [&] { return QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(q(m_def.name)); });
    sqlite3_bind_int64(st, 1, id);
    const int rc = sqlite3_step(st);
    sqlite3_reset(st);
    if (rc != SQLITE_DONE)
        fail(rc);
}

void SqliteStore::removeAll()
{
    exec(QStringLiteral("DELETE FROM %1").arg(q(m_def.name)).toUtf8().constData());
}

QVector<qint64> SqliteStore::idsWhere(int field, const QVariant &value, bool caseInsensitive, bool partial, const QStringList &order)
{
    const FieldDef &f = m_def.fields[field];
    const bool text = f.type == FieldType::String || f.type == FieldType::Memo;
    QString cond;
    if (!value.isValid() || value.isNull() || (text && value.toString().isEmpty()))
        cond = QStringLiteral("%1 IS NULL").arg(q(f.name));
    else if (text && (caseInsensitive || partial))
        // Compared in C++ below: SQLite's NOCASE knows only ASCII letters.
        cond = QStringLiteral("%1 IS NOT NULL").arg(q(f.name));
    else
        cond = QStringLiteral("%1 = ?").arg(q(f.name));
    sqlite3_stmt *st = prepare(QStringLiteral("SELECT rowid, %1 FROM %2 WHERE %3%4").arg(q(f.name), q(m_def.name), cond, orderBy(order)));
    if (cond.endsWith(QLatin1Char('?')))
        bindValue(st, 1, value, f.type);
    QVector<qint64> out;
    const QString wanted = value.toString();
    const Qt::CaseSensitivity cs = caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        if (text && (caseInsensitive || partial)) {
            const QString have = columnValue(st, 1, f.type).toString();
            if (partial ? !have.startsWith(wanted, cs) : have.compare(wanted, cs) != 0)
                continue;
        }
        out.append(sqlite3_column_int64(st, 0));
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE)
        fail(rc);
    return out;
}

bool SqliteStore::changedElsewhere()
{
    sqlite3_stmt *st = cached(QStringLiteral("dv"), [&] { return QStringLiteral("PRAGMA data_version"); });
    const int rc = sqlite3_step(st);
    if (rc != SQLITE_ROW)
        fail(rc);
    const qint64 v = sqlite3_column_int64(st, 0);
    sqlite3_reset(st);
    const bool changed = m_dataVersion >= 0 && v != m_dataVersion;
    m_dataVersion = v;
    return changed;
}

void SqliteStore::begin()
{
    exec("BEGIN IMMEDIATE");
    m_inTransaction = true;
}

void SqliteStore::commit()
{
    exec("COMMIT");
    m_inTransaction = false;
}

void SqliteStore::rollback()
{
    m_inTransaction = false;
    exec("ROLLBACK");
}
