#include "DbError.h"
#include "DbSession.h"
#include "DbTable.h"
#include "TestSupport.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

namespace {

TableDef peopleDef()
{
    TableDef d;
    d.name = QStringLiteral("People");
    d.fields = {{QStringLiteral("Name"), FieldType::String, 10, true, {}, {}},
                {QStringLiteral("Num"), FieldType::Float, 0, false, QStringLiteral("#0.00"), {}},
                {QStringLiteral("Born"), FieldType::Date, 0, false, {}, {}},
                {QStringLiteral("Ok"), FieldType::Boolean, 0, false, {}, {}},
                {QStringLiteral("Note"), FieldType::Memo, 0, false, {}, {}},
                {QStringLiteral("Id"), FieldType::AutoInc, 0, false, {}, {}}};
    d.primaryKey = {QStringLiteral("Name")};
    d.indexes = {{QStringLiteral("ByNum"), {QStringLiteral("Num")}, false, false}};
    return d;
}

// A folder with an empty People table, and a cursor on it.
struct Fixture {
    QTemporaryDir dir;
    DbTable t;
    explicit Fixture(const QString &order = QStringLiteral("Num"))
    {
        DbTable::createTable(dir.path(), peopleDef());
        t.setDatabaseName(dir.path());
        t.setTableName(QStringLiteral("People"));
        t.setIndexFieldNames(order);
        t.open();
    }
    void add(const QString &name, double num, const QDate &born = {})
    {
        t.appendRecord({name, num, born.isValid() ? QVariant(born) : QVariant()});
    }
    QString names()
    {
        QStringList out;
        for (t.first(); !t.eof(); t.next())
            out << t.fieldByName(QStringLiteral("Name"))->asString();
        return out.join(QLatin1Char(','));
    }
};

QString peerPath() { return QCoreApplication::applicationDirPath() + QStringLiteral("/kv_peer"); }

// Starts a peer and waits for its "ready".
bool startPeer(QProcess &p, const QStringList &args)
{
    p.start(peerPath(), args);
    if (!p.waitForStarted(5000))
        return false;
    while (p.waitForReadyRead(10000))
        if (p.readAll().contains("ready"))
            return true;
    return false;
}

} // namespace

class TestEngine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        DbSession::instance().setUserName(QStringLiteral("User1"));
        DbSession::instance().setBusyTimeout(300);
    }

    void postsAndReadsEveryType()
    {
        Fixture f;
        f.t.append();
        f.t.fieldByName(QStringLiteral("Name"))->setAsString(QStringLiteral("Иванов Пётр Сергеевич")); // cut to 10
        f.t.fieldByName(QStringLiteral("Num"))->setAsString(QStringLiteral("1180,5"));
        f.t.fieldByName(QStringLiteral("Born"))->setAsDate(QDate(2000, 12, 12));
        f.t.fieldByName(QStringLiteral("Ok"))->setAsBoolean(true);
        f.t.fieldByName(QStringLiteral("Note"))->setAsString(QString(300, QLatin1Char('x')));
        f.t.post();
        f.t.close();
        f.t.open();
        QCOMPARE(f.t.recordCount(), 1);
        QCOMPARE(f.t.fieldByName(QStringLiteral("Name"))->asString(), QStringLiteral("Иванов Пёт"));
        QCOMPARE(f.t.fieldByName(QStringLiteral("Num"))->asFloat(), 1180.5);
        QCOMPARE(f.t.fieldByName(QStringLiteral("Num"))->displayText(), QStringLiteral("1180,50"));
        QCOMPARE(f.t.fieldByName(QStringLiteral("Born"))->asString(), QStringLiteral("12.12.2000"));
        QVERIFY(f.t.fieldByName(QStringLiteral("Ok"))->asBoolean());
        QCOMPARE(f.t.fieldByName(QStringLiteral("Note"))->asString().size(), 300);
        QVERIFY(f.t.fields(5)->isAutoInc());
        QCOMPARE(f.t.fields(5)->asInteger(), 1);
        // Null passes through, an empty text is an empty field.
        f.t.edit();
        f.t.fieldByName(QStringLiteral("Num"))->setValue(QVariant());
        f.t.fieldByName(QStringLiteral("Note"))->setAsString(QString());
        f.t.post();
        QVERIFY(f.t.fieldByName(QStringLiteral("Num"))->isNull());
        QVERIFY(f.t.fieldByName(QStringLiteral("Note"))->isNull());
    }

    void refusesDuplicatesAndEmptyRequiredFields()
    {
        Fixture f;
        f.add(QStringLiteral("A"), 1);
        f.t.append();
        f.t.fieldByName(QStringLiteral("Name"))->setAsString(QStringLiteral("A"));
        try {
            f.t.post();
            QFAIL("duplicate posted");
        } catch (const DbError &e) {
            QCOMPARE(e.message(), QStringLiteral("Key violation."));
        }
        QCOMPARE(f.t.state(), DbTable::Insert); // the pending row stays for the caller to cancel
        f.t.cancel();
        f.t.append();
        f.t.fieldByName(QStringLiteral("Num"))->setAsFloat(2);
        QVERIFY_THROWS_EXCEPTION(DbError, f.t.post());
        f.t.cancel();
        QCOMPARE(f.t.recordCount(), 1);
    }

    void autoIncrementNumbersItself()
    {
        Fixture f;
        // Values given for the auto-increment field by AppendRecord are left to the engine.
        f.t.appendRecord({QStringLiteral("A"), 1, QVariant(), QVariant(), QVariant(), 5});
        f.t.appendRecord({QStringLiteral("B"), 2, QVariant(), QVariant(), QVariant(), 9});
        f.t.first();
        QCOMPARE(f.t.fieldByName(QStringLiteral("Id"))->asInteger(), 1);
        f.t.next();
        QCOMPARE(f.t.fieldByName(QStringLiteral("Id"))->asInteger(), 2);
        f.t.edit();
        QVERIFY_THROWS_EXCEPTION(DbError, f.t.fieldByName(QStringLiteral("Id"))->setAsInteger(7));
        f.t.cancel();
    }

    void navigatesInIndexOrder()
    {
        Fixture f;
        f.add(QStringLiteral("C"), 30);
        f.add(QStringLiteral("A"), 10);
        f.add(QStringLiteral("B"), 20);
        QCOMPARE(f.names(), QStringLiteral("A,B,C"));
        QVERIFY(f.t.eof());
        f.t.first();
        QVERIFY(f.t.bof());
        QCOMPARE(f.t.recNo(), 1);
        f.t.prior();
        QVERIFY(f.t.bof());
        QCOMPARE(f.t.recNo(), 1);
        f.t.last();
        QCOMPARE(f.t.recNo(), 3);
        f.t.setRecNo(2);
        QCOMPARE(f.t.fieldByName(QStringLiteral("Name"))->asString(), QStringLiteral("B"));
        // After a post the new row is current, at its place in the order.
        f.add(QStringLiteral("D"), 15);
        QCOMPARE(f.t.recNo(), 2);
        QCOMPARE(f.t.recordCount(), 4);
        // Another order keeps the current row.
        f.t.setIndexFieldNames(QStringLiteral("Name"));
        QCOMPARE(f.t.fieldByName(QStringLiteral("Name"))->asString(), QStringLiteral("D"));
        QCOMPARE(f.t.recNo(), 4);
        QCOMPARE(f.t.indexFieldNames(), QStringLiteral("Name"));
        // Delete leaves the next row current; deleting everything leaves Eof and Bof.
        f.t.first();
        f.t.deleteRecord();
        QCOMPARE(f.t.fieldByName(QStringLiteral("Name"))->asString(), QStringLiteral("B"));
        f.t.emptyTable();
        QCOMPARE(f.t.recordCount(), 0);
        QVERIFY(f.t.eof() && f.t.bof());
        QCOMPARE(f.t.recNo(), 0);
    }

    void searchesOnTheChosenIndex_data()
    {
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QVariant>("key");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("current");
        QTest::newRow("findKey hit") << "Name" << "key" << QVariant(QStringLiteral("Борис")) << true << "Борис";
        QTest::newRow("findKey miss keeps row") << "Name" << "key" << QVariant(QStringLiteral("Бор")) << false << "Яков";
        QTest::newRow("findKey on number") << "Num" << "key" << QVariant(20.0) << true << "Борис";
        QTest::newRow("nearest between") << "Name" << "nearest" << QVariant(QStringLiteral("Бор")) << true << "Борис";
        QTest::newRow("nearest past end") << "Name" << "nearest" << QVariant(QStringLiteral("Юрий")) << true << "Яков";
        QTest::newRow("nearest number") << "Num" << "nearest" << QVariant(11.0) << true << "Борис";
        QTest::newRow("locate") << "Num" << "locate" << QVariant(QStringLiteral("Анна")) << true << "Анна";
        QTest::newRow("locate case-insensitive") << "Num" << "locate-ci" << QVariant(QStringLiteral("анна")) << true << "Анна";
        QTest::newRow("locate partial") << "Num" << "locate-partial" << QVariant(QStringLiteral("Як")) << true << "Яков";
        QTest::newRow("locate miss") << "Num" << "locate" << QVariant(QStringLiteral("Нет")) << false << "Яков";
    }
    void searchesOnTheChosenIndex()
    {
        QFETCH(QString, order);
        QFETCH(QString, how);
        QFETCH(QVariant, key);
        QFETCH(bool, found);
        QFETCH(QString, current);
        Fixture f(order);
        f.add(QStringLiteral("Яков"), 30);
        f.add(QStringLiteral("Анна"), 10);
        f.add(QStringLiteral("Борис"), 20);
        f.t.locate(QStringLiteral("Name"), QStringLiteral("Яков"));
        bool result = true;
        if (how == QLatin1String("key"))
            result = f.t.findKey({key});
        else if (how == QLatin1String("nearest"))
            f.t.findNearest({key});
        else if (how == QLatin1String("locate"))
            result = f.t.locate(QStringLiteral("Name"), key);
        else if (how == QLatin1String("locate-ci"))
            result = f.t.locate(QStringLiteral("Name"), key, DbTable::CaseInsensitive);
        else
            result = f.t.locate(QStringLiteral("Name"), key, DbTable::PartialKey);
        QCOMPARE(result, found);
        QCOMPARE(f.t.fieldByName(QStringLiteral("Name"))->asString(), current);
    }

    void filterIsReappliedWhenSwitchedOffAndOn()
    {
        Fixture f;
        for (int i = 1; i <= 10; ++i)
            f.add(QStringLiteral("N%1").arg(i), i);
        int limit = 5;
        int calls = 0;
        f.t.setOnFilterRecord([&](DbTable &t) {
            ++calls;
            return t.fieldByName(QStringLiteral("Num"))->asFloat() <= limit;
        });
        f.t.setFiltered(true);
        QCOMPARE(calls, 10);
        QCOMPARE(f.t.recordCount(), 5);
        f.t.last();
        QCOMPARE(f.t.recNo(), 5);
        QCOMPARE(f.t.fieldByName(QStringLiteral("Name"))->asString(), QStringLiteral("N5"));
        // A new callback takes effect when the flag goes off and on again.
        f.t.setOnFilterRecord([](DbTable &t) { return int(t.fieldByName(QStringLiteral("Num"))->asFloat()) % 2 == 0; });
        QCOMPARE(f.t.recordCount(), 5);
        f.t.setFiltered(false);
        QCOMPARE(f.t.recordCount(), 10);
        f.t.setFiltered(true);
        QCOMPARE(f.names(), QStringLiteral("N2,N4,N6,N8,N10"));
        f.t.setRecNo(3);
        QCOMPARE(f.t.fieldByName(QStringLiteral("Name"))->asString(), QStringLiteral("N6"));
        // Search sees only the rows that pass.
        QVERIFY(!f.t.locate(QStringLiteral("Name"), QStringLiteral("N3")));
        QVERIFY(!f.t.findKey({3.0}));
        f.t.findNearest({3.0});
        QCOMPARE(f.t.fieldByName(QStringLiteral("Name"))->asString(), QStringLiteral("N4"));
    }

    void dataSourceFollowsTheTable()
    {
        Fixture f;
        f.add(QStringLiteral("A"), 1);
        f.add(QStringLiteral("B"), 2);
        DbDataSource src;
        src.setDataSet(&f.t);
        QSignalSpy record(&src, &DbDataSource::recordChanged);
        QSignalSpy state(&src, &DbDataSource::stateChanged);
        QSignalSpy field(&src, &DbDataSource::fieldChanged);
        f.t.first();
        QVERIFY(record.count() >= 1);
        f.t.edit();
        f.t.fieldByName(QStringLiteral("Num"))->setAsFloat(3);
        QCOMPARE(field.count(), 1);
        QCOMPARE(field.first().first().toInt(), 1);
        f.t.cancel();
        QCOMPARE(state.count(), 2);
        src.setEnabled(false);
        record.clear();
        f.t.next();
        QCOMPARE(record.count(), 0);
        src.setEnabled(true);
        QCOMPARE(record.count(), 1);
    }

    void twoConnectionsSeeEachOthersPosts()
    {
        Fixture f;
        f.add(QStringLiteral("A"), 1);
        DbTable other;
        other.setDatabaseName(f.dir.path());
        other.setTableName(QStringLiteral("People"));
        other.setIndexFieldNames(QStringLiteral("Num"));
        other.open();
        QCOMPARE(f.t.recordCount(), 1);
        QVERIFY(!f.t.refreshIfChanged());
        other.appendRecord({QStringLiteral("B"), 2});
        QCOMPARE(f.t.recordCount(), 1); // not before the next refresh
        QVERIFY(f.t.refreshIfChanged());
        QCOMPARE(f.t.recordCount(), 2);
        QVERIFY(!f.t.refreshIfChanged());
        other.first();
        other.deleteRecord();
        f.t.last();
        QCOMPARE(f.t.recordCount(), 1);
        QCOMPARE(f.t.fieldByName(QStringLiteral("Name"))->asString(), QStringLiteral("B"));
    }

    void concurrentEditsAreNotLost()
    {
        Fixture f;
        f.add(QStringLiteral("A"), 1);
        DbTable other;
        other.setDatabaseName(f.dir.path());
        other.setTableName(QStringLiteral("People"));
        other.open();
        f.t.first();
        f.t.edit();
        f.t.fieldByName(QStringLiteral("Num"))->setAsFloat(100);
        other.first();
        other.edit();
        other.fieldByName(QStringLiteral("Num"))->setAsFloat(200);
        other.post();
        try {
            f.t.post();
            QFAIL("a stale edit overwrote another copy's change");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Conflict);
            QVERIFY(e.message().contains(QStringLiteral("изменена другим пользователем")));
        }
        // Our values are still pending; the other change is stored.
        QCOMPARE(f.t.state(), DbTable::Edit);
        QCOMPARE(f.t.fieldByName(QStringLiteral("Num"))->asFloat(), 100.0);
        other.refresh();
        QCOMPARE(other.fieldByName(QStringLiteral("Num"))->asFloat(), 200.0);
        // A second, deliberate post wins.
        f.t.post();
        other.refresh();
        QCOMPARE(other.fieldByName(QStringLiteral("Num"))->asFloat(), 100.0);
        // A row deleted by the other copy is reported as such.
        f.t.edit();
        other.deleteRecord();
        try {
            f.t.post();
            QFAIL("posted into a deleted row");
        } catch (const DbError &e) {
            QVERIFY(e.message().contains(QStringLiteral("удалена")));
        }
        f.t.cancel();
    }

    void busyTableNamesItsHolder()
    {
        Fixture f;
        QProcess peer;
        QVERIFY(startPeer(peer, {f.dir.path(), QStringLiteral("User2"), QStringLiteral("write-hold"), QStringLiteral("People"), QStringLiteral("1500")}));
        QElapsedTimer waited;
        waited.start();
        try {
            f.add(QStringLiteral("A"), 1);
            QFAIL("a write went through a held lock");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Busy);
            QVERIFY2(e.message().contains(QStringLiteral("User2")), qPrintable(e.message()));
        }
        QVERIFY(waited.elapsed() >= 250); // it waited before giving up
        f.t.cancel();
        QVERIFY(peer.waitForFinished(10000));
        QCOMPARE(peer.exitCode(), 0);
        // Once the other copy is done, the write goes through and its row is seen.
        f.add(QStringLiteral("A"), 1);
        QCOMPARE(f.t.recordCount(), 2);
    }

    void exclusiveOpenIsRefusedWhileOthersHaveTheTable()
    {
        Fixture f;
        f.t.close();
        QProcess peer;
        QVERIFY(startPeer(peer, {f.dir.path(), QStringLiteral("User2"), QStringLiteral("hold"), QStringLiteral("People"), QStringLiteral("1000")}));
        try {
            f.t.openExclusive();
            QFAIL("exclusive open while another copy has the table");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Locked);
            QVERIFY2(e.message().contains(QStringLiteral("User2")), qPrintable(e.message()));
        }
        QVERIFY(!f.t.active());
        QVERIFY(peer.waitForFinished(10000));
        f.t.openExclusive();
        QVERIFY(f.t.exclusive());
        // While we hold it exclusively, the other copy cannot open it.
        QProcess second;
        second.start(peerPath(), {f.dir.path(), QStringLiteral("User2"), QStringLiteral("hold"), QStringLiteral("People"), QStringLiteral("0")});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 1);
        QVERIFY(second.readAllStandardOutput().contains("User1"));
    }

    void peerChangesAreSeenAtRefresh()
    {
        Fixture f;
        f.add(QStringLiteral("A"), 1);
        QProcess peer;
        peer.start(peerPath(), {f.dir.path(), QStringLiteral("User2"), QStringLiteral("set"), QStringLiteral("People"), QStringLiteral("Num"), QStringLiteral("42")});
        QVERIFY(peer.waitForFinished(10000));
        QCOMPARE(peer.exitCode(), 0);
        f.t.refresh();
        QCOMPARE(f.t.fieldByName(QStringLiteral("Num"))->asFloat(), 42.0);
    }

    void refusesFilesThatAreNotOurTables_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("truncate");
        QTest::newRow("text file") << QByteArray("Num;Date\n1;2024\n") << false;
        QTest::newRow("empty file") << QByteArray() << false;
        QTest::newRow("foreign SQLite") << QByteArray("foreign") << false;
        QTest::newRow("truncated table") << QByteArray() << true;
    }
    void refusesFilesThatAreNotOurTables()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, truncate);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("People.DB"));
        if (truncate) {
            Fixture f;
            for (int i = 0; i < 2000; ++i)
                f.add(QStringLiteral("N%1").arg(i), i);
            f.t.close();
            QFile src(f.dir.filePath(QStringLiteral("People.DB")));
            QVERIFY(src.open(QIODevice::ReadOnly));
            const QByteArray all = src.readAll();
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(all.left(all.size() / 3));
        } else if (content == "foreign") {
            QTemporaryDir other;
            TableDef d = peopleDef();
            DbTable::createTable(other.path(), d);
            QFile::copy(other.filePath(QStringLiteral("People.DB")), path);
            // Same SQLite format, without our marker.
            QProcess::execute(QStringLiteral("sqlite3"), {path, QStringLiteral("DELETE FROM kv_table")});
        } else {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(content);
        }
        DbTable t;
        t.setDatabaseName(dir.path());
        t.setTableName(QStringLiteral("People"));
        t.setIndexFieldNames(QStringLiteral("Num"));
        try {
            t.open();
            t.last();
            QFAIL("opened a file that is not a table");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::NotATable);
            QVERIFY2(e.message().contains(QStringLiteral("People.DB")), qPrintable(e.message()));
        }
        QVERIFY(!t.active());
    }

    void transactionWritesManyRowsAtOnce()
    {
        Fixture f;
        f.t.startTransaction();
        for (int i = 0; i < 100; ++i)
            f.add(QStringLiteral("N%1").arg(i), i);
        f.t.commit();
        DbTable other;
        other.setDatabaseName(f.dir.path());
        other.setTableName(QStringLiteral("People"));
        other.open();
        QCOMPARE(other.recordCount(), 100);
        f.t.startTransaction();
        f.add(QStringLiteral("X"), 1000);
        f.t.rollback();
        QCOMPARE(f.t.recordCount(), 100);
    }
};

QTEST_GUILESS_MAIN(TestEngine)
#include "tst_engine.moc"
