#include "FolderCopy.h"

#include "KvError.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <sqlite3.h>

namespace {

QString failed(const QString &from, const QString &to)
{
    return QStringLiteral("Не удалось скопировать файл %1 в %2")
        .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to));
}

// SQLite's online backup: one step over all pages under one read lock.
// Returns false when the file is not a database, so that it is copied as bytes.
bool backupTable(const QString &from, const QString &to)
{
    sqlite3 *src = nullptr, *dst = nullptr;
    const QByteArray f = from.toUtf8(), t = to.toUtf8();
    // Read-write, so that a journal left by a crashed writer is rolled back first.
    if (sqlite3_open_v2(f.constData(), &src, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(src);
        src = nullptr;
        if (sqlite3_open_v2(f.constData(), &src, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            sqlite3_close(src);
            return false;
        }
    }
    sqlite3_busy_timeout(src, 10000);
    // A file that is not a database is copied byte for byte.
    if (sqlite3_exec(src, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) != SQLITE_OK) {
        const int code = sqlite3_errcode(src);
        sqlite3_close(src);
        if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
            throw KvError(failed(from, to) + QStringLiteral(": таблица занята другим пользователем"));
        return false;
    }
    QFile::remove(to);
    if (sqlite3_open_v2(t.constData(), &dst, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        sqlite3_close(src);
        sqlite3_close(dst);
        throw KvError(failed(from, to));
    }
    sqlite3_backup *b = sqlite3_backup_init(dst, "main", src, "main");
    int rc = SQLITE_ERROR;
    if (b) {
        // A writer holding the lock makes the step busy: wait for it a while.
        for (int attempt = 0; attempt < 200; ++attempt) {
            rc = sqlite3_backup_step(b, -1);
            if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED)
                break;
            QThread::msleep(50);
        }
        sqlite3_backup_finish(b);
    }
    sqlite3_close(src);
    // The copy is a plain rollback-journal file like its source.
    sqlite3_exec(dst, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    sqlite3_close(dst);
    if (rc != SQLITE_DONE) {
        QFile::remove(to);
        throw KvError(failed(from, to));
    }
    return true;
}

} // namespace

namespace FolderCopy {

void copyFile(const QString &from, const QString &to, bool consistent)
{
    const QFileInfo info(from);
    if (!(consistent && backupTable(from, to))) {
        if (QFileInfo::exists(to) && !QFile::remove(to))
            throw KvError(failed(from, to));
        if (!QFile::copy(from, to))
            throw KvError(failed(from, to));
    }
    QFile out(to);
    if (out.open(QIODevice::ReadWrite)) {
        out.setFileTime(info.lastModified(), QFileDevice::FileModificationTime);
        out.close();
    }
}

void copyPlainFiles(const QString &fromFolder, const QString &toFolder)
{
    const QDir from(fromFolder);
    if (!from.exists())
        throw KvError(QStringLiteral("Папка %1 не найдена").arg(QDir::toNativeSeparators(fromFolder)));
    if (!QDir().mkpath(toFolder))
        throw KvError(QStringLiteral("Не удалось создать папку %1").arg(QDir::toNativeSeparators(toFolder)));
    const QDir to(toFolder);
    const auto files = from.entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo &f : files) {
        // A rollback journal belongs to its table and is copied with it.
        if (f.fileName().endsWith(QLatin1String("-journal"), Qt::CaseInsensitive))
            continue;
        const bool table = f.suffix().compare(QLatin1String("DB"), Qt::CaseInsensitive) == 0;
        copyFile(f.absoluteFilePath(), to.filePath(f.fileName()), table);
    }
}
}
