// The journal at 100,000 orders: open in Num order and go to the end, walk
// every row reading every field, re-apply a filter that passes half of them.
// The sqlite3 shell's ordered scan of the same file, timed in the same run,
// is the yardstick. Usage: bench_engine [orders]
#include "BenchCommon.h"
#include "DbTable.h"
#include "TableDefs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <vector>

namespace {

// The walk's checksum lands here so that its reads are not optimised away.
volatile qint64 kept = 0;

} // namespace

using namespace Bench;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 100000;

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 0;
    }
    const QString folder = dir.path();
    const QString file = folder + QStringLiteral("/PaysDB.DB");
    std::printf("PaysDB, %d orders, in %s\n", count, qPrintable(folder));

    // 1. The file, in one transaction, numbers in shuffled order.
    {
        QElapsedTimer timer;
        timer.start();
        buildPaysDB(folder, count);
        std::printf("build:                %9.1f ms  (file %.1f MB)\n", ms(timer), double(QFileInfo(file).size()) / 1048576.0);
    }

    // 2. The yardstick: the shell's ordered scan, output thrown away.
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    double shellMs = -1;
    if (shell.isEmpty()) {
        std::printf("sqlite3 shell not found: no ratios\n");
    } else {
        bool ok = true;
        shellMs = bestOf3([&] {
            QProcess p;
            p.setStandardOutputFile(QProcess::nullDevice());
            QElapsedTimer timer;
            timer.start();
            p.start(shell, {file, QStringLiteral("SELECT * FROM PaysDB ORDER BY Num")});
            p.waitForFinished(-1);
            const double took = ms(timer);
            ok = ok && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
            return took;
        });
        if (!ok) {
            std::printf("sqlite3 shell failed: no ratios\n");
            shellMs = -1;
        } else {
            std::printf("sqlite3 shell scan:   %9.1f ms  (SELECT * FROM PaysDB ORDER BY Num, best of 3)\n", shellMs);
        }
    }

    auto report = [&](const char *what, double took, double factor) {
        if (shellMs <= 0) {
            std::printf("%-21s %9.1f ms  target <= %.0fx shell: n/a\n", what, took, factor);
            return;
        }
        const double ratio = took / shellMs;
        std::printf("%-21s %9.1f ms  target <= %.0fx shell (%.1f ms)  ratio %.2f  %s\n", what, took, factor,
                    factor * shellMs, ratio, verdict(ratio <= factor));
    };

    // 3. Open in Num order and show the last record.
    bool lastOk = true;
    const double openMs = bestOf3([&] {
        QElapsedTimer timer;
        timer.start();
        auto t = openPays(folder);
        t->last();
        lastOk = lastOk && t->fields(0)->value().toDouble() == double(count);
        const double took = ms(timer);
        t.reset();
        return took;
    });
    report("open + last:", openMs, 2);
    if (!lastOk)
        std::printf("  wrong last record\n");

    // 4. Every row, every field.
    qint64 sink = 0;
    int walked = 0;
    const double walkMs = bestOf3([&] {
        auto t = openPays(folder);
        const int fields = t->fieldCount();
        QElapsedTimer timer;
        timer.start();
        walked = 0;
        for (t->first(); !t->eof(); t->next()) {
            for (int i = 0; i < fields; ++i) {
                const QVariant v = t->fields(i)->value();
                if (v.userType() == QMetaType::QString) {
                    const QString &s = *static_cast<const QString *>(v.constData());
                    sink += s.size() + (s.isEmpty() ? 0 : s.at(s.size() - 1).unicode());
                } else {
                    sink += v.userType();
                }
            }
            ++walked;
        }
        return ms(timer);
    });
    report("walk, every field:", walkMs, 3);
    if (walked != count)
        std::printf("  walked %d rows of %d\n", walked, count);

    // 5. A filter by date that passes about half, switched off and on again:
    // once the way the journal's view filter reads the date (the field found
    // once per pass, the value taken as a date), once through asDateTime().
    const QDate half = kFirstDay.addDays(kDays / 2);
    auto timeFilter = [&](const char *what, DbTable::FilterFn fn) {
        auto t = openPays(folder);
        t->setOnFilterRecord(std::move(fn));
        t->setFiltered(true);
        const double took = bestOf3([&] {
            t->setFiltered(false);
            QElapsedTimer timer;
            timer.start();
            t->setFiltered(true);
            return ms(timer);
        });
        const int passed = t->recordCount();
        const double share = double(passed) / count;
        std::printf("%-21s %9.1f ms  target <= 100 ms  %s  (%d of %d rows pass, %.1f%%%s)\n", what, took,
                    verdict(took <= 100), passed, count, share * 100, share > 0.45 && share < 0.55 ? "" : ", not about half");
    };
    int pass = -1;
    DbField *date = nullptr;
    timeFilter("filter, as the view:", [&](DbTable &table) {
        if (pass != table.filterPass()) {
            pass = table.filterPass();
            date = table.fieldByName(QStringLiteral("Date"));
        }
        const QVariant v = date->value();
        return v.isValid() && v.toDate() >= half;
    });
    const QDateTime halfMidnight(half, QTime(0, 0));
    timeFilter("filter, asDateTime:", [&](DbTable &table) {
        return table.fieldByName(QStringLiteral("Date"))->asDateTime() >= halfMidnight;
    });

    // 6. Peak memory of the whole run, the build included.
    const double peak = peakMemoryMb();
    if (peak < 0)
        std::printf("peak memory:          unknown on this system\n");
    else
        std::printf("peak memory:          %9.1f MB  target <= 200 MB  %s\n", peak, verdict(peak <= 200));

    kept = sink;
    return 0;
}
