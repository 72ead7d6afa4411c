#include "DbSession.h"

#include "AppPaths.h"
#include "DbError.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSysInfo>
#include <QUuid>
#include <sqlite3.h>

DbSession &DbSession::instance()
{
    static DbSession s;
    return s;
}

DbSession::DbSession() : m_id(QUuid::createUuid().toString(QUuid::WithoutBraces)) {}

void DbSession::setNetFileDir(const QString &folder) { m_netFileDir = AppPaths::resolveFolder(folder); }

void DbSession::open() { m_active = true; }
void DbSession::close() { m_active = false; }

void DbDatabase::open()
{
    // The user name travels in the parameters, as the engine expects it.
    for (const QString &p : std::as_const(m_params))
        if (p.startsWith(QLatin1String("USER NAME="), Qt::CaseInsensitive))
            DbSession::instance().setUserName(p.mid(10));
    m_connected = true;
}

namespace {

QString hostName()
{
    static const QString h = QSysInfo::machineHostName();
    return h;
}

// A short-lived connection to the lock file; SQLite keeps the writers apart.
class LockDb {
public:
    explicit LockDb(const QString &folder)
    {
        const QString path = AppPaths::join(folder, DbLockFile::fileName());
        if (!connect(path) && (m_failure == SQLITE_NOTADB || m_failure == SQLITE_CORRUPT)) {
            // Not a lock file of ours (or damaged): it holds nothing worth keeping.
            // A busy one is another copy's and is left alone.
            QFile::remove(path);
            connect(path);
        }
    }
    ~LockDb()
    {
        if (m_db)
            sqlite3_close(m_db);
    }
    bool ok() const { return m_db != nullptr; }

    // Opens the file and makes sure it holds our two tables.
    bool connect(const QString &path)
    {
        const QByteArray p = path.toUtf8();
        if (sqlite3_open_v2(p.constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) == SQLITE_OK) {
            sqlite3_busy_timeout(m_db, 5000);
            if (exec("CREATE TABLE IF NOT EXISTS users (sid TEXT PRIMARY KEY, user TEXT, host TEXT, pid INTEGER, seen INTEGER);"
                     "CREATE TABLE IF NOT EXISTS opened (sid TEXT, tbl TEXT COLLATE NOCASE, exclusive INTEGER);"))
                return true;
        }
        m_failure = sqlite3_errcode(m_db) & 0xff;
        sqlite3_close(m_db);
        m_db = nullptr;
        return false;
    }
    bool exec(const char *sql) { return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
    sqlite3_stmt *prepare(const char *sql)
    {
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(m_db, sql, -1, &st, nullptr);
        return st;
    }
    static void bind(sqlite3_stmt *st, int i, const QString &s)
    {
        const QByteArray u = s.toUtf8();
        sqlite3_bind_text(st, i, u.constData(), int(u.size()), SQLITE_TRANSIENT);
    }
    static QString text(sqlite3_stmt *st, int i) { return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, i))); }

    void touch()
    {
        const DbSession &s = DbSession::instance();
        sqlite3_stmt *st = prepare("INSERT OR REPLACE INTO users VALUES (?, ?, ?, ?, ?)");
        bind(st, 1, s.sessionId());
        bind(st, 2, s.userName());
        bind(st, 3, hostName());
        sqlite3_bind_int64(st, 4, QCoreApplication::applicationPid());
        sqlite3_bind_int64(st, 5, QDateTime::currentSecsSinceEpoch());
        sqlite3_step(st);
        sqlite3_finalize(st);
        // Forget copies that ended without closing.
        st = prepare("DELETE FROM opened WHERE sid IN (SELECT sid FROM users WHERE seen < ?);"
                     );
        sqlite3_bind_int64(st, 1, QDateTime::currentSecsSinceEpoch() - DbLockFile::kStaleSeconds);
        sqlite3_step(st);
        sqlite3_finalize(st);
        st = prepare("DELETE FROM users WHERE seen < ?");
        sqlite3_bind_int64(st, 1, QDateTime::currentSecsSinceEpoch() - DbLockFile::kStaleSeconds);
        sqlite3_step(st);
        sqlite3_finalize(st);
    }

    // Other sessions holding the table, optionally only the exclusive ones.
    QStringList others(const QString &table, bool exclusiveOnly)
    {
        sqlite3_stmt *st = prepare("SELECT DISTINCT u.user, u.host FROM opened o JOIN users u ON u.sid = o.sid "
                                   "WHERE o.tbl = ? AND o.sid <> ? AND (? = 0 OR o.exclusive <> 0)");
        bind(st, 1, table);
        bind(st, 2, DbSession::instance().sessionId());
        sqlite3_bind_int(st, 3, exclusiveOnly ? 1 : 0);
        QStringList out;
        while (sqlite3_step(st) == SQLITE_ROW)
            out << QStringLiteral("%1 (%2)").arg(text(st, 0), text(st, 1));
        sqlite3_finalize(st);
        return out;
    }

private:
    sqlite3 *m_db = nullptr;
    int m_failure = SQLITE_OK;
};

} // namespace

namespace DbLockFile {

QString fileName() { return QStringLiteral("PDOXUSRS.NET"); }

void registerOpen(const QString &folder, const QString &table, bool exclusive)
{
    LockDb db(folder);
    if (!db.ok())
        return; // a read-only folder: nobody can write there to be kept apart from
    db.exec("BEGIN IMMEDIATE");
    db.touch();
    const QStringList blocking = db.others(table, !exclusive);
    if (!blocking.isEmpty()) {
        db.exec("ROLLBACK");
        if (exclusive)
            throw DbError(DbError::Locked, QStringLiteral("Таблица %1 открыта другим пользователем: %2. Монопольный доступ невозможен.")
                                               .arg(table, blocking.join(QStringLiteral(", "))));
        throw DbError(DbError::Locked, QStringLiteral("Таблица %1 открыта в монопольном режиме пользователем %2.")
                                           .arg(table, blocking.join(QStringLiteral(", "))));
    }
    sqlite3_stmt *st = db.prepare("INSERT INTO opened VALUES (?, ?, ?)");
    LockDb::bind(st, 1, DbSession::instance().sessionId());
    LockDb::bind(st, 2, table);
    sqlite3_bind_int(st, 3, exclusive ? 1 : 0);
    sqlite3_step(st);
    sqlite3_finalize(st);
    db.exec("COMMIT");
}

void unregisterOpen(const QString &folder, const QString &table)
{
    if (!QFileInfo::exists(AppPaths::join(folder, fileName())))
        return;
    LockDb db(folder);
    if (!db.ok())
        return;
    sqlite3_stmt *st = db.prepare("DELETE FROM opened WHERE rowid IN (SELECT rowid FROM opened WHERE sid = ? AND tbl = ? LIMIT 1)");
    LockDb::bind(st, 1, DbSession::instance().sessionId());
    LockDb::bind(st, 2, table);
    sqlite3_step(st);
    sqlite3_finalize(st);
    db.exec("DELETE FROM users WHERE sid NOT IN (SELECT sid FROM opened)");
}

QStringList holders(const QString &folder, const QString &table)
{
    if (!QFileInfo::exists(AppPaths::join(folder, fileName())))
        return {};
    LockDb db(folder);
    return db.ok() ? db.others(table, false) : QStringList();
}

QStringList users(const QString &folder)
{
    LockDb db(folder);
    QStringList out;
    if (!db.ok())
        return out;
    sqlite3_stmt *st = db.prepare("SELECT user, host FROM users ORDER BY user");
    while (sqlite3_step(st) == SQLITE_ROW)
        out << QStringLiteral("%1 (%2)").arg(LockDb::text(st, 0), LockDb::text(st, 1));
    sqlite3_finalize(st);
    return out;
}

void heartbeat(const QString &folder)
{
    LockDb db(folder);
    if (db.ok())
        db.touch();
}
}
