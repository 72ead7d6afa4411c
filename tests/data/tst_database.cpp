#include "Clock.h"
#include "DataUnit.h"
#include "DbError.h"
#include "DbMaintenance.h"
#include "FolderCopy.h"
#include "RegWorksUnit.h"
#include "TableDefs.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>
#include <sqlite3.h>

namespace {

const QString kFirstRun = QStringLiteral("Загрузить данные из предыдущей версии программы? Ok - Загрузить. Cancel - Создать новую базу.");
const QString kDamaged = QStringLiteral("База данных платежных поручений повреждена. Попытаться восстановить ее ??");

// Settings, a database folder and a data module wired as the program wires it.
struct Env {
    ScopedSettings settings;
    QTemporaryDir dir;
    InstantWaits waits;
    PromptScript prompts;
    std::unique_ptr<TDataBase1> data;

    Env()
    {
        RegWriteString(QStringLiteral("DataBasePath"), dir.path() + QLatin1Char('/'));
        fresh();
    }
    void fresh()
    {
        data.reset();
        data = std::make_unique<TDataBase1>();
        DbMaintenance::install(*data);
        Prompt::clearTerminate();
    }
    QString folder() const { return dir.path() + QLatin1Char('/'); }
    // A database made from the template, without going through the question.
    void makeDatabase()
    {
        FolderCopy::copyPlainFiles(QDir(qEnvironmentVariable("KV_BIN_DIR")).filePath(QStringLiteral("EmptyDB")), folder());
    }
    void addOrder(double num, const QDate &date)
    {
        DbTable &t = data->PaysTable;
        t.append();
        t.fieldByName(QStringLiteral("Num"))->setAsFloat(num);
        t.fieldByName(QStringLiteral("Date"))->setAsDate(date);
        t.fieldByName(QStringLiteral("GridKey"))->setAsString(TableDefs::newGridKey());
        t.post();
    }
    QStringList backups() const { return QDir(folder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot); }
};

QString peerPath() { return QCoreApplication::applicationDirPath() + QStringLiteral("/kv_peer"); }

} // namespace

class TestDatabase : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { DbSession::instance().setBusyTimeout(5000); }
    void cleanup() { Clock::reset(); }

    void firstRunCreatesTheDatabaseFromTheTemplate()
    {
        Env e;
        RegWriteString(QStringLiteral("UpdateFlag"), QStringLiteral("1"));
        e.prompts.answer(Prompt::Cancel);
        e.data->CreateDataBaseAndOpenAllTable();
        QCOMPARE(e.prompts.texts(), QStringList{kFirstRun});
        QCOMPARE(e.prompts.shown().first().buttons, int(Prompt::Ok | Prompt::Cancel));
        QCOMPARE(e.prompts.shown().first().icon, Prompt::Information);
        QVERIFY(!Prompt::terminateRequested());
        QVERIFY(e.data->PaysTable.active() && e.data->PayerTable.active() && e.data->BankTable.active());
        QCOMPARE(RegReadString(QStringLiteral("UpdateFlag"), QString()), QStringLiteral("0"));
        QCOMPARE(RegReadInteger(QStringLiteral("BCopyCnt"), -1), -1); // no counting on the first run
        QVERIFY(e.backups().isEmpty());
        QVERIFY(e.waits.waits.contains(1000));
        // The second run opens it and counts the opening.
        e.addOrder(1, QDate(2024, 1, 1));
        e.fresh();
        e.data->CreateDataBaseAndOpenAllTable();
        QCOMPARE(e.prompts.shown().size(), 1);
        QCOMPARE(RegReadInteger(QStringLiteral("BCopyCnt"), -1), 1);
        QCOMPARE(e.data->PaysTable.recordCount(), 1);
    }

    void firstRunWithoutASearchWindowEnds()
    {
        Env e;
        e.prompts.answer(Prompt::Ok);
        e.data->CreateDataBaseAndOpenAllTable();
        QVERIFY(Prompt::terminateRequested());
        QVERIFY(!e.data->PaysTable.active());
        QVERIFY(e.waits.waits.contains(200));
        Prompt::clearTerminate();
    }

    void everySeventhOpeningMakesABackup()
    {
        Env e;
        e.makeDatabase();
        RegWriteInteger(QStringLiteral("BCopyCnt"), 5);
        Clock::setNow(QDateTime(QDate(2015, 8, 1), QTime(14, 5, 9)));
        e.data->CreateDataBaseAndOpenAllTable();
        QCOMPARE(RegReadInteger(QStringLiteral("BCopyCnt"), -1), 6);
        QVERIFY(e.backups().isEmpty());
        e.addOrder(7, QDate(2015, 7, 1));
        e.data->CloseAllTable();
        e.data->CreateDataBaseAndOpenAllTable();
        QCOMPARE(RegReadInteger(QStringLiteral("BCopyCnt"), -1), 0);
        QCOMPARE(e.backups(), QStringList{QStringLiteral("2015_08_01_14_05_09")});
        const QDir backup(e.folder() + QStringLiteral("2015_08_01_14_05_09"));
        for (const QString &name : {QStringLiteral("PaysDB.DB"), QStringLiteral("PayerDB.DB"), QStringLiteral("bank.DB")}) {
            QVERIFY2(backup.exists(name), qPrintable(name));
            QCOMPARE(QFileInfo(backup.filePath(name)).lastModified(), QFileInfo(e.folder() + name).lastModified());
        }
        // The copy is a table that holds the order.
        DbTable copy;
        copy.setDatabaseName(backup.path());
        copy.setTableName(QStringLiteral("PaysDB"));
        copy.open();
        QCOMPARE(copy.recordCount(), 1);
    }

    void migrationRequestWithADueBackup()
    {
        Env e;
        e.makeDatabase();
        Clock::setNow(QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)));
        e.data->CreateDataBaseAndOpenAllTable();
        e.addOrder(1, QDate(2024, 5, 1));
        e.addOrder(2, QDate(2024, 5, 2));
        e.data->CloseAllTable();
        RegWriteString(QStringLiteral("UpdateFlag"), QStringLiteral("1"));
        RegWriteInteger(QStringLiteral("BCopyCnt"), 6);
        e.data->CreateDataBaseAndOpenAllTable();
        QCOMPARE(RegReadString(QStringLiteral("UpdateFlag"), QString()), QStringLiteral("0"));
        QCOMPARE(RegReadInteger(QStringLiteral("BCopyCnt"), -1), 0);
        // Both copies were made within the same second: one folder.
        QCOMPARE(e.backups(), QStringList{QStringLiteral("2024_05_06_07_08_09")});
        // The orders came back through the migration, numbered anew.
        QCOMPARE(e.data->PaysTable.recordCount(), 2);
        QCOMPARE(e.data->PaysTable.fieldByName(QStringLiteral("Num"))->asFloat(), 2.0);
    }

    void viewFilterThresholds_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<bool>("shown");
        const QDateTime march31(QDate(2024, 3, 31), QTime(10, 0));
        QTest::newRow("month: 29 Feb hidden") << 2 << march31 << QDate(2024, 2, 29) << false;
        QTest::newRow("month: 1 Mar shown") << 2 << march31 << QDate(2024, 3, 1) << true;
        QTest::newRow("month: empty date hidden") << 2 << march31 << QDate() << false;
        QTest::newRow("year: 31 Mar 2023 hidden") << 1 << march31 << QDate(2023, 3, 31) << false;
        QTest::newRow("year: 1 Apr 2023 shown") << 1 << march31 << QDate(2023, 4, 1) << true;
        QTest::newRow("year from 29 Feb: 28 Feb hidden") << 1 << QDateTime(QDate(2024, 2, 29), QTime(9, 0)) << QDate(2023, 2, 28) << false;
        QTest::newRow("year from 29 Feb: 1 Mar shown") << 1 << QDateTime(QDate(2024, 2, 29), QTime(9, 0)) << QDate(2023, 3, 1) << true;
        QTest::newRow("at midnight the day itself passes") << 2 << QDateTime(QDate(2024, 3, 31), QTime(0, 0)) << QDate(2024, 2, 29) << true;
        QTest::newRow("all: empty date shown") << 0 << march31 << QDate() << true;
        QTest::newRow("unknown mode: nothing") << 5 << march31 << QDate(2024, 3, 31) << false;
    }
    void viewFilterThresholds()
    {
        QFETCH(int, mode);
        QFETCH(QDateTime, now);
        QFETCH(QDate, date);
        QFETCH(bool, shown);
        Env e;
        e.makeDatabase();
        e.data->CreateDataBaseAndOpenAllTable();
        e.addOrder(1, date);
        Clock::setNow(now);
        e.data->setViewMode(mode);
        e.data->PaysTable.setFiltered(false);
        e.data->PaysTable.setFiltered(true);
        QCOMPARE(e.data->PaysTable.recordCount(), shown ? 1 : 0);
    }

    void storedViewModeOutsideTheMenu()
    {
        Env e;
        e.makeDatabase();
        RegWriteInteger(QStringLiteral("PayTableViewMode"), 7);
        int applied = -1;
        e.data->viewCommand = [&](int m) { applied = m; };
        e.data->CreateDataBaseAndOpenAllTable();
        e.addOrder(1, QDate(2001, 1, 1));
        QCOMPARE(applied, -1);
        QVERIFY(!e.data->PaysTable.filtered());
        QCOMPARE(e.data->PaysTable.recordCount(), 1);
        e.data->DataModuleDestroy();
        QCOMPARE(RegReadInteger(QStringLiteral("PayTableViewMode"), -1), 7);
    }

    void lastOrderIsCurrentAfterOpening()
    {
        Env e;
        e.makeDatabase();
        e.data->CreateDataBaseAndOpenAllTable();
        for (double n : {5.0, 9.0, 2.0})
            e.addOrder(n, QDate(2024, 1, 1));
        e.fresh();
        e.data->CreateDataBaseAndOpenAllTable();
        QCOMPARE(e.data->PaysTable.fieldByName(QStringLiteral("Num"))->asFloat(), 9.0);
        QCOMPARE(e.data->PaysTable.recNo(), 3);
    }

    void importDateCopiesByPosition()
    {
        Env e;
        QTemporaryDir src, dst;
        DbTable::createTable(src.path(), TableDefs::paysDB());
        DbTable::createTable(dst.path(), TableDefs::paysDB());
        {
            DbTable t;
            t.setDatabaseName(src.path());
            t.setTableName(QStringLiteral("PaysDB"));
            t.open();
            // Auto-increment values 5 and 9 in the source; the second row's key is
            // already in the destination and must be refused.
            for (int id : {5, 9}) {
                t.append();
                t.fieldByName(QStringLiteral("Num"))->setAsFloat(id);
                t.fieldByName(QStringLiteral("Date"))->setAsDate(QDate(2024, 1, id));
                t.fieldByName(QStringLiteral("GridKey"))->setAsString(QStringLiteral("K%1").arg(id));
                t.post();
            }
            QProcess::execute(QStringLiteral("sqlite3"), {src.filePath(QStringLiteral("PaysDB.DB")),
                QStringLiteral("UPDATE PaysDB SET Id = 5 WHERE Id = 1; UPDATE PaysDB SET Id = 9 WHERE Id = 2;")});
        }
        {
            DbTable d;
            d.setDatabaseName(dst.path());
            d.setTableName(QStringLiteral("PaysDB"));
            d.open();
            d.append();
            d.fieldByName(QStringLiteral("Num"))->setAsFloat(100);
            d.fieldByName(QStringLiteral("GridKey"))->setAsString(QStringLiteral("K9"));
            d.post();
        }
        e.data->ImportDate(src.filePath(QStringLiteral("PaysDB.DB")), dst.filePath(QStringLiteral("PaysDB.DB")));
        DbTable d;
        d.setDatabaseName(dst.path());
        d.setTableName(QStringLiteral("PaysDB"));
        d.setIndexFieldNames(QStringLiteral("Num"));
        d.open();
        // The existing row stays; the refused row is dropped.
        QCOMPARE(d.recordCount(), 2);
        QCOMPARE(d.fieldByName(QStringLiteral("Num"))->asFloat(), 5.0);
        QCOMPARE(d.fieldByName(QStringLiteral("Id"))->asInteger(), 2); // numbered by the destination
        QCOMPARE(d.fieldByName(QStringLiteral("Date"))->asDate(), QDate(2024, 1, 5));
        QCOMPARE(d.fieldByName(QStringLiteral("GridKey"))->asString(), QStringLiteral("K5"));
    }

    void damagedTableLeadsToTheRepairOffer_data()
    {
        QTest::addColumn<bool>("truncate");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("searchOk");
        QTest::addColumn<QStringList>("texts");
        const QString notRestored = QStringLiteral("База данных НЕ ВОССТАНОВЛЕНА. Переустановите программу.");
        QTest::newRow("not a table, Cancel") << false << int(Prompt::Cancel) << false << QStringList{kDamaged};
        QTest::newRow("truncated, OK, search cancelled") << true << int(Prompt::Ok) << false << QStringList{kDamaged};
        QTest::newRow("OK, search OK, still damaged") << false << int(Prompt::Ok) << true << QStringList{kDamaged, notRestored};
    }
    void damagedTableLeadsToTheRepairOffer()
    {
        QFETCH(bool, truncate);
        QFETCH(int, answer);
        QFETCH(bool, searchOk);
        QFETCH(QStringList, texts);
        Env e;
        e.makeDatabase();
        const QString pays = e.folder() + QStringLiteral("PaysDB.DB");
        if (truncate) {
            e.data->CreateDataBaseAndOpenAllTable();
            e.data->PaysTable.startTransaction();
            for (int i = 0; i < 3000; ++i)
                e.addOrder(i, QDate(2024, 1, 1));
            e.data->PaysTable.commit();
            e.data->CloseAllTable();
            QFile f(pays);
            QVERIFY(f.resize(f.size() / 3));
        } else {
            QFile f(pays);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write("это не таблица");
        }
        e.fresh();
        e.prompts.answer(answer);
        bool searched = false;
        e.data->showSearchWindow = [&] { searched = true; return searchOk; };
        e.data->CreateDataBaseAndOpenAllTable();
        QCOMPARE(e.prompts.texts(), texts);
        QCOMPARE(e.prompts.shown().first().caption, QStringLiteral("Ошибка..."));
        QCOMPARE(searched, answer == Prompt::Ok);
        QCOMPARE(Prompt::terminateRequested(), answer == Prompt::Ok && !searchOk);
        QVERIFY(!e.data->PaysTable.active());
        Prompt::clearTerminate();
    }

    void backupWhileAnotherCopyWrites()
    {
        Env e;
        e.makeDatabase();
        e.data->CreateDataBaseAndOpenAllTable();
        e.data->CloseAllTable();
        QProcess peer;
        peer.start(peerPath(), {e.folder(), QStringLiteral("User2"), QStringLiteral("write-many"), QStringLiteral("PaysDB"), QStringLiteral("400")});
        QVERIFY(peer.waitForReadyRead(10000));
        // Copies taken while the other copy keeps writing are whole tables every time.
        for (int i = 0; i < 5; ++i) {
            const QString backup = e.folder() + QStringLiteral("copy%1/").arg(i);
            FolderCopy::copyPlainFiles(e.folder(), backup);
            sqlite3 *db = nullptr;
            QCOMPARE(sqlite3_open_v2((backup + QStringLiteral("PaysDB.DB")).toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
            sqlite3_stmt *st = nullptr;
            sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr);
            QCOMPARE(sqlite3_step(st), SQLITE_ROW);
            QCOMPARE(QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(st, 0))), QByteArray("ok"));
            sqlite3_finalize(st);
            sqlite3_close(db);
            DbTable copy;
            copy.setDatabaseName(backup);
            copy.setTableName(QStringLiteral("PaysDB"));
            copy.open();
            QVERIFY(copy.recordCount() <= 400);
        }
        QVERIFY(peer.waitForFinished(60000));
        QCOMPARE(peer.exitCode(), 0);
    }

    void newEmptyDatabaseMessages()
    {
        Env e;
        // An empty setting: nothing is touched.
        RegWriteString(QStringLiteral("DataBasePath"), QStringLiteral("  "));
        QVERIFY(!DbMaintenance::CreateNewEmptyDb(*e.data));
        QCOMPARE(e.prompts.shown().last().caption, QStringLiteral("Ошибка установки"));
        QCOMPARE(e.prompts.shown().last().text, QStringLiteral("Выполните переустановку программы"));
        // A setting without a separator works in the setting plus a backslash.
        RegWriteString(QStringLiteral("DataBasePath"), e.dir.path());
        QVERIFY(DbMaintenance::CreateNewEmptyDb(*e.data));
        QVERIFY(QFileInfo::exists(e.folder() + QStringLiteral("PaysDB.DB")));
    }
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
