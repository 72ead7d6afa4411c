// The payment database at 100,000 orders: ImportDate of a whole PaysDB.DB
// into an empty one against the sqlite3 shell's INSERT ... SELECT between the
// same two files, and a full open sequence up to the last order current.
// Usage: bench_database [orders]
#include "BenchCommon.h"
#include "Clock.h"
#include "DataUnit.h"
#include "DbTable.h"
#include "RegWorksUnit.h"
#include "TableDefs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

using namespace Bench;

namespace {

QString columnsWithoutId()
{
    QStringList cols;
    for (const FieldDef &f : TableDefs::paysDB().fields)
        if (f.type != FieldType::AutoInc)
            cols << QLatin1Char('"') + f.name + QLatin1Char('"');
    return cols.join(QLatin1Char(','));
}

int rows(const QString &folder)
{
    DbTable t;
    t.setDatabaseName(folder);
    t.setTableName(QStringLiteral("PaysDB"));
    t.open();
    return t.recordCount();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 100000;
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source"));
    RegStore::redirectTo(dir.filePath(QStringLiteral("settings")));
    QElapsedTimer timer;
    timer.start();
    buildPaysDB(source, count);
    std::printf("source PaysDB.DB, %d orders: built in %.0f ms\n", count, ms(timer));

    // ImportDate into an empty table, and the shell doing the same copy.
    TDataBase1 data;
    double ours = 1e99, shell = 1e99;
    for (int run = 0; run < 3; ++run) {
        const QString a = dir.filePath(QStringLiteral("ours%1").arg(run)), b = dir.filePath(QStringLiteral("shell%1").arg(run));
        DbTable::createTable(a, TableDefs::paysDB());
        DbTable::createTable(b, TableDefs::paysDB());
        timer.restart();
        data.ImportDate(source + QStringLiteral("/PaysDB.DB"), a + QStringLiteral("/PaysDB.DB"));
        ours = std::min(ours, ms(timer));
        const QString cols = columnsWithoutId();
        const QString sql = QStringLiteral("ATTACH '%1' AS s; INSERT INTO main.PaysDB (%2) SELECT %2 FROM s.PaysDB ORDER BY rowid;")
                                .arg(source + QStringLiteral("/PaysDB.DB"), cols);
        timer.restart();
        const int rc = QProcess::execute(QStringLiteral("sqlite3"), {b + QStringLiteral("/PaysDB.DB"), sql});
        shell = std::min(shell, ms(timer));
        if (rc != 0 || rows(a) != count || rows(b) != count)
            std::printf("warning: a copy is incomplete (shell rc %d, ours %d rows, shell %d rows)\n", rc, rows(a), rows(b));
    }
    std::printf("ImportDate:           %8.1f ms\n", ours);
    std::printf("sqlite3 INSERT SELECT:%8.1f ms\n", shell);
    std::printf("ratio %.2f (target <= 3): %s\n", ours / shell, verdict(ours <= 3 * shell));

    // The open sequence on a database of that size: to the last order current.
    const QString db = dir.filePath(QStringLiteral("database"));
    QFile::copy(source + QStringLiteral("/PaysDB.DB"), db + QStringLiteral("/PaysDB.DB")) || QDir().mkpath(db);
    QFile::copy(source + QStringLiteral("/PaysDB.DB"), db + QStringLiteral("/PaysDB.DB"));
    DbTable::createTable(db, TableDefs::payerDB());
    DbTable::createTable(db, TableDefs::bank());
    RegWriteString(QStringLiteral("DataBasePath"), db + QLatin1Char('/'));
    double open = 1e99;
    for (int run = 0; run < 3; ++run) {
        RegWriteInteger(QStringLiteral("BCopyCnt"), 0); // no backup in the timed openings
        data.CloseAllTable();
        timer.restart();
        data.CreateDataBaseAndOpenAllTable();
        const double t = ms(timer);
        open = std::min(open, t);
        if (data.PaysTable.recNo() != count)
            std::printf("warning: last order not current (%d)\n", data.PaysTable.recNo());
    }
    std::printf("open sequence:        %8.1f ms (target <= 300): %s\n", open, verdict(open <= 300));
    std::printf("peak memory:          %8.1f MB\n", peakMemoryMb());
    return 0;
}
