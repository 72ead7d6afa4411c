#include "DataUnit.h"
#include "DbMaintenance.h"
#include "RegWorksUnit.h"
#include "TestSupport.h"
#include "Ziz.h"

#include <QtTest>

class TestStartup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void commandLineModes_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("batch");
        QTest::newRow("none") << QStringList{QStringLiteral("pay")} << false;
        QTest::newRow("-U") << QStringList{QStringLiteral("pay"), QStringLiteral("-U"), QStringLiteral("bnkseek.csv")} << true;
        QTest::newRow("-U alone") << QStringList{QStringLiteral("pay"), QStringLiteral("-U")} << true;
        QTest::newRow("-u") << QStringList{QStringLiteral("pay"), QStringLiteral("-u"), QStringLiteral("x")} << false;
        QTest::newRow("/U") << QStringList{QStringLiteral("pay"), QStringLiteral("/U"), QStringLiteral("x")} << false;
        QTest::newRow("-I") << QStringList{QStringLiteral("pay"), QStringLiteral("-I")} << false;
        QTest::newRow("-U second") << QStringList{QStringLiteral("pay"), QStringLiteral("x"), QStringLiteral("-U")} << false;
    }
    void commandLineModes()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, batch);
        QCOMPARE(ZizStartup::modeFor(args) == ZizStartup::Mode::BankImport, batch);
    }

    // "-U" on a folder without a database asks the first-run question first.
    void batchRunAsksTheFirstRunQuestion()
    {
        ScopedSettings settings;
        QTemporaryDir dir;
        RegWriteString(QStringLiteral("DataBasePath"), dir.path());
        PromptScript prompts;
        InstantWaits waits;
        prompts.answer(Prompt::Cancel);
        TDataBase1 data;
        DbMaintenance::install(data);
        ZizStartup::runBatch(data, {QStringLiteral("pay"), QStringLiteral("-U")});
        QCOMPARE(prompts.shown().size(), 1);
        QVERIFY(prompts.texts().first().startsWith(QStringLiteral("Загрузить данные")));
        QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("PaysDB.DB"))));
        QVERIFY(!data.PaysTable.active()); // closed again at the end
        QCOMPARE(RegReadInteger(QStringLiteral("PayTableViewMode"), -1), 0);
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
