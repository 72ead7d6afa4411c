// The journal at 100,000 orders.
//  - start-up: the real program `pay` (off screen, settings in a temporary
//    home) from the moment it is started to the journal painted with the
//    last order current; the program reports that moment itself when
//    KV_REPORT_READY is set and then ends. Wall time is measured here, the
//    program's own figure (from the start of its main) is printed beside it.
//  - a view switch in this process: the view command up to the list painted.
//  - peak memory of the program run and of this process.
// Usage: bench_journal [orders]
//        bench_journal --make-db <folder> [orders]   (a database to look at)
#include "BenchCommon.h"
#include "Clock.h"
#include "DataUnit.h"
#include "DbListView.h"
#include "DbMaintenance.h"
#include "DbTable.h"
#include "PayEdit.h"
#include "PaySelect.h"
#include "RegWorksUnit.h"
#include "Setting.h"
#include "TableDefs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

using namespace Bench;

namespace {

void makeDatabase(const QString &folder, int count)
{
    QDir().mkpath(folder);
    buildPaysDB(folder, count);
    DbTable::createTable(folder, TableDefs::payerDB());
    DbTable::createTable(folder, TableDefs::bank());
    // The counterparties the orders name, so that the editor's look-ups offer them.
    DbTable payers;
    payers.setDatabaseName(folder);
    payers.setTableName(QStringLiteral("PayerDB"));
    payers.open();
    std::mt19937 rng(7);
    QSet<QString> names;
    for (int i = 0; i < 200; ++i) {
        const QVector<QVariant> o = order(rng, i);
        names << o[7].toString() << o[8].toString();
    }
    for (const QString &n : std::as_const(names))
        payers.appendRecord({n, n, QStringLiteral("7701234567"), QStringLiteral("770101001"), QStringLiteral("ПАО Сбербанк г. Москва"),
                             QStringLiteral("044525225"), QStringLiteral("40702810938000012345"),
                             QStringLiteral("30101810400000000225"), false});
}

struct Run {
    double wallMs = -1;
    double ownMs = -1;
    int rows = 0;
    int current = 0;
};

Run startProgram(const QString &pay, const QProcessEnvironment &env)
{
    Run r;
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    p.start(pay, {});
    QByteArray out;
    while (!out.contains('\n') && p.waitForReadyRead(20000))
        out += p.readAllStandardOutput();
    r.wallMs = ms(timer);
    p.waitForFinished(20000);
    // "ready <ms> ms rows <n> current <r>"
    const QList<QByteArray> words = out.trimmed().split(' ');
    if (words.size() >= 7 && words[0] == "ready") {
        r.ownMs = words[1].toDouble();
        r.rows = words[4].toInt();
        r.current = words[6].toInt();
    } else {
        std::printf("warning: the program did not report (%s)\n", out.constData());
    }
    return r;
}

double childPeakMb()
{
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return double(u.ru_maxrss) / 1024.0; // kilobytes on Linux
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 3 && QByteArray(argv[1]) == "--make-db") {
        QCoreApplication app(argc, argv);
        const int count = argc > 3 ? std::max(1, QString::fromLocal8Bit(argv[3]).toInt()) : 300;
        makeDatabase(QString::fromLocal8Bit(argv[2]), count);
        std::printf("%d orders in %s\n", count, argv[2]);
        return 0;
    }

    // The settings of this process and of the program live in a temporary home.
    QTemporaryDir dir;
    const QString home = dir.filePath(QStringLiteral("home"));
    QDir().mkpath(home);
    qputenv("HOME", home.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/.config")).toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 100000;

    const QString db = dir.filePath(QStringLiteral("database"));
    QElapsedTimer timer;
    timer.start();
    makeDatabase(db, count);
    std::printf("PaysDB.DB, %d orders: built in %.0f ms\n", count, ms(timer));
    RegWriteString(QStringLiteral("DataBasePath"), db + QLatin1Char('/'));

    // Start-up of the program, three runs (the first one warms the file cache).
    const QString pay = QCoreApplication::applicationDirPath() + QStringLiteral("/pay");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KV_REPORT_READY"), QStringLiteral("1"));
    Run best;
    for (int i = 0; i < 3; ++i) {
        RegWriteInteger(QStringLiteral("BCopyCnt"), 0); // no backup copy in the timed runs
        const Run r = startProgram(pay, env);
        std::printf("start-up run %d: %7.1f ms (the program's own count %.1f ms), %d rows, current %d\n", i + 1, r.wallMs,
                    r.ownMs, r.rows, r.current);
        if (r.rows != count || r.current != count)
            std::printf("warning: the last order is not the current one\n");
        if (best.wallMs < 0 || r.wallMs < best.wallMs)
            best = r;
    }
    std::printf("start-up to the last order: %7.1f ms (target <= 1000): %s\n", best.wallMs, verdict(best.wallMs <= 1000));
    const double programPeak = childPeakMb();
    std::printf("peak memory of the program: %7.1f MB (target <= 250): %s\n", programPeak, verdict(programPeak <= 250));

    // View switches in this process. The clock stands at the end of the
    // orders' three years so that every view has rows.
    Clock::setNow(QDateTime(kFirstDay.addDays(kDays - 1), QTime(12, 0)));
    RegWriteInteger(QStringLiteral("BCopyCnt"), 0);
    TDataBase1 data;
    DbMaintenance::install(data);
    TPaySelectForm journal;
    journal.bindData(data);
    TPayEditForm editor(&journal);
    TSettingForm settings(&journal);
    journal.show();
    journal.DataBaseOpenTimer()->stop();
    journal.DataBaseOpenTimerTimer();
    QCoreApplication::processEvents();
    DbListView *list = journal.PaySelectDBGrid1;
    double worst = 0;
    const int modes[] = {1, 2, 0, 2, 1, 0};
    for (int mode : modes) {
        timer.restart();
        journal.setView(mode);
        list->viewport()->repaint();
        const double t = ms(timer);
        worst = std::max(worst, t);
        std::printf("view %d: %6.1f ms, %d rows\n", mode, t, list->model()->rowCount());
    }
    // The same switches on the table alone, for the share of the table engine.
    data.PaysSource.setEnabled(false);
    double worstTable = 0;
    for (int mode : modes) {
        timer.restart();
        data.setViewMode(mode);
        data.PaysTable.setFiltered(false);
        data.PaysTable.setFiltered(true);
        worstTable = std::max(worstTable, ms(timer));
    }
    data.PaysSource.setEnabled(true);
    std::printf("the table alone, slowest: %6.1f ms\n", worstTable);
    std::printf("view switch, slowest: %6.1f ms (target <= 100): %s\n", worst, verdict(worst <= 100));
    std::printf("peak memory of this process: %6.1f MB\n", peakMemoryMb());
    return 0;
}
