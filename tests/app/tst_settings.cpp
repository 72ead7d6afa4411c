#include "Clock.h"
#include "IniWorksUnit.h"
#include "KvError.h"
#include "RegWorksUnit.h"
#include "Settings.h"
#include "TestSupport.h"

#include <QFile>
#include <QSettings>
#include <QtTest>

class TestSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { Clock::reset(); }

    void roundTripsEachType()
    {
        ScopedSettings s;
        RegWriteString(QStringLiteral("UserName"), QStringLiteral("Бухгалтер 2"));
        RegWriteInteger(QStringLiteral("EditPayNextNumber"), -41);
        RegWriteBool(QStringLiteral("CheckBoxMP"), false);
        RegWriteFloat(QStringLiteral("ReeSDate"), 45382.4166);
        QCOMPARE(RegReadString(QStringLiteral("UserName"), QStringLiteral("x")), QStringLiteral("Бухгалтер 2"));
        QCOMPARE(RegReadInteger(QStringLiteral("EditPayNextNumber"), 1), -41);
        QCOMPARE(RegReadBool(QStringLiteral("CheckBoxMP"), true), false);
        QCOMPARE(RegReadFloat(QStringLiteral("ReeSDate"), 0), 45382.4166);
        // A Boolean is a number: any non-zero number reads as true.
        RegWriteInteger(QStringLiteral("CheckBoxLittleFont"), 7);
        QCOMPARE(RegReadBool(QStringLiteral("CheckBoxLittleFont"), false), true);
    }

    void missingValueGivesDefaultAndIsNotWritten()
    {
        ScopedSettings s;
        QCOMPARE(RegReadInteger(QStringLiteral("BCopyCnt"), 0), 0);
        QCOMPARE(RegReadString(QStringLiteral("DataBasePath"), QStringLiteral("DATABASE\\")), QStringLiteral("DATABASE\\"));
        QSettings raw(s.folder() + QStringLiteral("/Ziz.ini"), QSettings::IniFormat);
        QVERIFY(raw.allKeys().isEmpty());
    }

    void nothingIsCached()
    {
        ScopedSettings s;
        RegWriteInteger(QStringLiteral("BCopyCnt"), 3);
        // Another copy of the program writes the store behind our back.
        {
            QSettings other(s.folder() + QStringLiteral("/Ziz.ini"), QSettings::IniFormat);
            other.setValue(QStringLiteral("BCopyCnt"), 5);
        }
        QCOMPARE(RegReadInteger(QStringLiteral("BCopyCnt"), 0), 5);
    }

    void wrongTypeFails_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("text for a number") << "int";
        QTest::newRow("text for a Boolean") << "bool";
        QTest::newRow("text for a date") << "date";
        QTest::newRow("binary for a text") << "string";
    }
    void wrongTypeFails()
    {
        QFETCH(QString, kind);
        ScopedSettings s;
        if (kind == QLatin1String("string")) {
            RegWriteFloat(QStringLiteral("UserName"), 1.0);
            QVERIFY_THROWS_EXCEPTION(KvError, RegReadString(QStringLiteral("UserName"), QString()));
            return;
        }
        RegStore::writeRawText(QStringLiteral("X"), QStringLiteral("abc"));
        if (kind == QLatin1String("int"))
            QVERIFY_THROWS_EXCEPTION(KvError, RegReadInteger(QStringLiteral("X"), 0));
        else if (kind == QLatin1String("bool"))
            QVERIFY_THROWS_EXCEPTION(KvError, RegReadBool(QStringLiteral("X"), false));
        else
            QVERIFY_THROWS_EXCEPTION(KvError, RegReadFloat(QStringLiteral("X"), 0));
    }

    void defaultsOfAllSettings()
    {
        Clock::setNow(QDateTime(QDate(2024, 3, 31), QTime(10, 0)));
        QCOMPARE(Settings::all().size(), 21);
        int dialog = 0;
        for (const auto &d : Settings::all())
            dialog += d.dialog;
        QCOMPARE(dialog, 12);
        QCOMPARE(Settings::defaultString(Settings::DataBasePath), QStringLiteral("DATABASE\\"));
        QCOMPARE(Settings::defaultString(Settings::BnkSprDate), QStringLiteral(" - - "));
        QCOMPARE(Settings::defaultInteger(Settings::EditPayNextNumber), 1);
        QVERIFY(Settings::defaultBool(Settings::CheckBoxMP));
        QVERIFY(!Settings::defaultBool(Settings::CheckBoxLittleFont));
        // Month arithmetic clamps the day: 31 March - 1 month = 29 February (leap year).
        QCOMPARE(Clock::fromDays(Settings::defaultDate(Settings::ReeSDate)).date(), QDate(2024, 2, 29));
        QCOMPARE(Clock::fromDays(Settings::defaultDate(Settings::ReeEDate)).date(), QDate(2024, 3, 31));
        Clock::setNow(QDateTime(QDate(2024, 2, 29), QTime(9, 0)));
        QCOMPARE(Clock::fromDays(Settings::defaultDate(Settings::EraseEDate)).date(), QDate(2023, 2, 28));
        QCOMPARE(Clock::fromDays(Settings::defaultDate(Settings::EraseSDate)).date(), QDate(2022, 2, 28));
    }

    void dayNumbers()
    {
        QCOMPARE(Clock::toDays(QDate(1899, 12, 30)), 0.0);
        QCOMPARE(Clock::toDays(QDate(2000, 12, 12)), 36872.0);
        QCOMPARE(Clock::toDays(QDateTime(QDate(1900, 1, 1), QTime(18, 0))), 2.75);
        QCOMPARE(Clock::fromDays(45382.25), QDateTime(QDate(2024, 3, 31), QTime(6, 0)));
    }

    void iniWritesTheDefaultBack()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("bnkspr.ini"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[BNKSPR]\r\nVER=12\r\n");
        f.close();
        QCOMPARE(IniFileReadIntegerDef(file, QStringLiteral("bnkspr"), QStringLiteral("ver"), 0), 12);
        QCOMPARE(IniFileReadIntegerDef(file, QStringLiteral("BNKSPR"), QStringLiteral("DATE"), 5), 5);
        QCOMPARE(IniFileReadStringDef(file, QStringLiteral("Other"), QStringLiteral("Name"), QStringLiteral("Банк")),
                 QStringLiteral("Банк"));
        Tini ini(file);
        QCOMPARE(ini.readInteger(QStringLiteral("BNKSPR"), QStringLiteral("DATE"), -1), 5);
        QCOMPARE(ini.readString(QStringLiteral("Other"), QStringLiteral("Name"), QString()), QStringLiteral("Банк"));
        QCOMPARE(ini.readInteger(QStringLiteral("BNKSPR"), QStringLiteral("VER"), -1), 12);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
