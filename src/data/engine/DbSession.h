#pragma once
#include <QObject>
#include <QString>
#include <QStringList>

// The engine session: the lock-file directory shared by all users of a
// database folder, the user name, and the wait for a busy table.
class DbSession {
public:
    static DbSession &instance(); // the one named session "Session"

    QString sessionName() const { return QStringLiteral("Session"); }
    // The lock-file directory, read back as an absolute folder with a trailing separator.
    void setNetFileDir(const QString &folder);
    QString netFileDir() const { return m_netFileDir; }
    void setUserName(const QString &user) { m_userName = user; }
    QString userName() const { return m_userName; }

    void open();
    void close();
    bool active() const { return m_active; }

    // How long a write waits for another copy of the program (milliseconds).
    void setBusyTimeout(int ms) { m_busyTimeout = ms; }
    int busyTimeout() const { return m_busyTimeout; }

    // The id of this process's entries in the lock files.
    QString sessionId() const { return m_id; }

private:
    DbSession();
    QString m_netFileDir;
    QString m_userName = QStringLiteral("User1");
    QString m_id;
    bool m_active = false;
    int m_busyTimeout = 10000;
};

// The database connection: a name (the folder) and its parameters, of which
// "USER NAME=" tells the engine who we are.
class DbDatabase {
public:
    void setDatabaseName(const QString &name) { m_name = name; }
    QString databaseName() const { return m_name; }
    QStringList &params() { return m_params; }
    void setLoginPrompt(bool on) { m_loginPrompt = on; }
    void open();
    void close() { m_connected = false; }
    bool connected() const { return m_connected; }

private:
    QString m_name;
    QStringList m_params;
    bool m_loginPrompt = false;
    bool m_connected = false;
};

// The lock file PDOXUSRS.NET of a folder: who has which table open, so that
// exclusive opens can be refused and a blocked write can name the holder.
namespace DbLockFile {
QString fileName();
// Records that this session opened the table; throws DbError(Locked) when an
// exclusive open meets another user, or any open meets an exclusive holder.
void registerOpen(const QString &folder, const QString &table, bool exclusive);
void unregisterOpen(const QString &folder, const QString &table);
// "User2 (PC-2)" for every other live session that has the table open.
QStringList holders(const QString &folder, const QString &table);
// Users known in the folder (tests, diagnostics).
QStringList users(const QString &folder);
// Refreshes this session's entries so that they do not count as stale.
void heartbeat(const QString &folder);
// Entries not refreshed for this long belong to a copy that ended without closing.
constexpr int kStaleSeconds = 600;
}
