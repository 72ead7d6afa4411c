#include "WriteSum.h"

#include <QtTest>

#include <limits>

namespace {

// 0.1 added n times: ten give 0.9999999999999999, fifty 4.999999999999998,
// the amounts whose fraction alone would round to 100 kopecks.
double tenthsAdded(int n)
{
    double sum = 0;
    for (int i = 0; i < n; ++i)
        sum += 0.1;
    return sum;
}

}

class TestWriteSum : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sumInWords_data()
    {
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("words");
        const auto row = [](const char *name, double amount, const char *words) {
            QTest::newRow(name) << amount << QString::fromUtf8(words);
        };
        row("zero", 0, "00 копеек");
        row("kopecks only", 0.05, "05 копеек");
        row("0.5", 0.5, "50 копеек");
        row("1", 1, "один рубль 00 копеек");
        row("2.05", 2.05, "два рубля 05 копеек");
        row("11.11", 11.11, "одиннадцать рублей 11 копеек");
        row("21.21", 21.21, "двадцать один рубль 21 копейка");
        row("22.22", 22.22, "двадцать два рубля 22 копейки");
        row("40", 40, "сорок рублей 00 копеек");
        row("112", 112, "сто двенадцать рублей 00 копеек");
        row("1234.56", 1234.56, "одна тысяча двести тридцать четыре рубля 56 копеек");
        row("1000", 1000, "одна тысяча рублей 00 копеек");
        row("2000", 2000, "две тысячи рублей 00 копеек");
        row("5000", 5000, "пять тысяч рублей 00 копеек");
        row("11000", 11000, "одиннадцать тысяч рублей 00 копеек");
        row("21000", 21000, "двадцать одна тысяча рублей 00 копеек");
        row("101000", 101000, "сто одна тысяча рублей 00 копеек");
        row("312014", 312014, "триста двенадцать тысяч четырнадцать рублей 00 копеек");
        row("1000000", 1000000, "один миллион рублей 00 копеек");
        row("1001000", 1001000, "один миллион одна тысяча рублей 00 копеек");
        row("1000005", 1000005, "один миллион пять рублей 00 копеек");
        row("2000000", 2000000, "два миллиона рублей 00 копеек");
        row("5000000", 5000000, "пять миллионов рублей 00 копеек");
        row("999999999.99", 999999999.99,
            "девятьсот девяносто девять миллионов девятьсот девяносто девять тысяч "
            "девятьсот девяносто девять рублей 99 копеек");

        // kopeck nouns
        row("kop 01", 3.01, "три рубля 01 копейка");
        row("kop 02", 3.02, "три рубля 02 копейки");
        row("kop 05", 3.05, "три рубля 05 копеек");
        row("kop 11", 3.11, "три рубля 11 копеек");
        row("kop 12", 3.12, "три рубля 12 копеек");
        row("kop 14", 3.14, "три рубля 14 копеек");
        row("kop 21", 3.21, "три рубля 21 копейка");
        row("kop 22", 3.22, "три рубля 22 копейки");
        row("kop 25", 3.25, "три рубля 25 копеек");

        // milliards; zero groups below them write no noun
        row("10^9", 1e9, "один миллиард рублей 00 копеек");
        row("2000000001", 2000000001, "два миллиарда один рубль 00 копеек");
        row("1000001000", 1000001000, "один миллиард одна тысяча рублей 00 копеек");
        row("5e9", 5e9, "пять миллиардов рублей 00 копеек");
        row("11e9", 11e9, "одиннадцать миллиардов рублей 00 копеек");
        row("21001000000", 21001000000.0, "двадцать один миллиард один миллион рублей 00 копеек");
        row("2^31 (past 32 bits)", 2147483648.5,
            "два миллиарда сто сорок семь миллионов четыреста восемьдесят три тысячи "
            "шестьсот сорок восемь рублей 50 копеек");
        row("largest", 999999999999.99,
            "девятьсот девяносто девять миллиардов девятьсот девяносто девять миллионов "
            "девятьсот девяносто девять тысяч девятьсот девяносто девять рублей 99 копеек");

        // rounded to kopecks before the split: never 100 kopecks
        row("0.29", 0.29, "29 копеек");
        row("1.15", 1.15, "один рубль 15 копеек");
        row("19.99", 19.99, "девятнадцать рублей 99 копеек");
        row("2.999999", 2.999999, "три рубля 00 копеек");
        row("0.1 ten times", tenthsAdded(10), "один рубль 00 копеек");
        row("0.1 fifty times", tenthsAdded(50), "пять рублей 00 копеек");
        row("0.999 rounds up to a ruble", 0.999, "один рубль 00 копеек");
        row("exact half to even, down", 0.125, "12 копеек");
        row("exact half to even, up", 0.375, "38 копеек");

        row("negative", -1234.56, "минус одна тысяча двести тридцать четыре рубля 56 копеек");
        row("negative kopecks", -0.5, "минус 50 копеек");
        row("negative rounding to zero", -0.001, "00 копеек");

        row("10^12 is out of range", 1e12, "");
        row("-10^12 is out of range", -1e12, "");
        row("infinity", std::numeric_limits<double>::infinity(), "");
        row("NaN", std::numeric_limits<double>::quiet_NaN(), "");
    }
    void sumInWords()
    {
        QFETCH(double, amount);
        QFETCH(QString, words);
        QCOMPARE(SumInWords(amount), words);
    }

    void sumInWordsForForm_data()
    {
        QTest::addColumn<double>("amount");
        QTest::addColumn<int>("wholeStyle");
        QTest::addColumn<QString>("text");
        const auto row = [](const char *name, double amount, int wholeStyle, const char *text) {
            QTest::newRow(name) << amount << wholeStyle << QString::fromUtf8(text);
        };
        row("0", 0, 0, "Ноль рублей 00 копеек");
        row("0, 100=", 0, 1, "Ноль рублей ");
        row("0.5", 0.5, 0, "Ноль рублей 50 копеек");
        row("0.5, 100=", 0.5, 1, "Ноль рублей 50 копеек");
        row("1", 1, 0, "Один рубль 00 копеек");
        row("21000", 21000, 0, "Двадцать одна тысяча рублей 00 копеек");
        row("100, 100=", 100, 1, "Сто рублей ");
        row("100.05, 100=", 100.05, 1, "Сто рублей 05 копеек");
        row("100.5, 100=", 100.5, 1, "Сто рублей 50 копеек");
        row("1000000, 100=", 1000000, 1, "Один миллион рублей ");
        row("unknown style keeps the tail", 100, 2, "Сто рублей 00 копеек");
        row("2.999999, 100=", 2.999999, 1, "Три рубля ");
        row("0.1 ten times is a ruble", tenthsAdded(10), 0, "Один рубль 00 копеек");
        row("negative", -21.21, 0, "Минус двадцать один рубль 21 копейка");
        row("negative kopecks", -0.5, 0, "Минус ноль рублей 50 копеек");
        row("out of range", 1e12, 0, "");
    }
    void sumInWordsForForm()
    {
        QFETCH(double, amount);
        QFETCH(int, wholeStyle);
        QFETCH(QString, text);
        QCOMPARE(SumInWordsForForm(amount, wholeStyle), text);
    }

    void sumInFigures_data()
    {
        QTest::addColumn<double>("amount");
        QTest::addColumn<int>("separator");
        QTest::addColumn<int>("whole");
        QTest::addColumn<int>("noRuble");
        QTest::addColumn<QString>("figures");
        const auto row = [](const char *name, double amount, int sep, int whole, int noRuble,
                            const char *figures) {
            QTest::newRow(name) << amount << sep << whole << noRuble << QString::fromUtf8(figures);
        };
        row("dash", 1234.5, 0, 0, 0, "1234-50");
        row("dot", 1234.5, 1, 0, 0, "1234.50");
        row("unknown separator", 1234.5, 2, 0, 0, "");
        row("whole -00 with dash", 100, 0, 0, 0, "100-00");
        row("whole -00 ignores dot", 100, 1, 0, 0, "100-00");
        row("whole = with dash", 100, 0, 1, 0, "100=");
        row("whole = with dot", 100, 1, 1, 0, "100=");
        row("unknown whole style", 100, 1, 2, 0, "100.00");
        row("whole form without separator", 100, 2, 0, 0, "100-00");
        row("no rubles, 00-", 0.5, 1, 0, 0, "00-50");
        row("no rubles, 0-", 0.5, 1, 0, 1, "0-50");
        row("no rubles, 0- small", 0.05, 0, 0, 1, "0-05");
        row("unknown no-ruble style", 0.5, 1, 0, 2, "0.50");
        row("zero dash", 0, 0, 1, 0, "0-00");
        row("zero dot", 0, 1, 1, 1, "0.00");
        row("zero without separator", 0, 2, 0, 0, "");
        row("2.999999", 2.999999, 0, 0, 0, "3-00");
        row("0.1 ten times", tenthsAdded(10), 0, 1, 0, "1=");
        row("0.1 fifty times", tenthsAdded(50), 1, 2, 0, "5.00");
        row("19.99", 19.99, 0, 0, 0, "19-99");
        row("1.15", 1.15, 1, 0, 0, "1.15");
        row("0.29", 0.29, 0, 0, 1, "0-29");
        row("past 32 bits", 2147483648.5, 0, 0, 0, "2147483648-50");
        row("largest", 999999999999.99, 1, 0, 0, "999999999999.99");
        row("negative", -1234.5, 0, 0, 0, "-1234-50");
        row("negative whole", -100, 1, 1, 0, "-100=");
        row("negative kopecks", -0.5, 1, 0, 0, "-00-50");
        row("negative rounding to zero", -0.001, 0, 0, 0, "0-00");
        row("negative, unknown separator", -1234.5, 2, 0, 0, "");
        row("out of range", 1e12, 0, 0, 0, "");
        row("NaN", std::numeric_limits<double>::quiet_NaN(), 0, 0, 0, "");
    }
    void sumInFigures()
    {
        QFETCH(double, amount);
        QFETCH(int, separator);
        QFETCH(int, whole);
        QFETCH(int, noRuble);
        QFETCH(QString, figures);
        QCOMPARE(SumInFigures(separator, whole, noRuble, amount), figures);
    }

    // Every amount with two decimals, however it was computed, keeps exactly
    // its kopecks, up to the largest amount covered.
    void everyKopeckSurvivesTheSplit()
    {
        for (const qint64 rubles : {qint64(0), qint64(1), qint64(2), qint64(19), qint64(1234567),
                                    qint64(2147483647), qint64(2147483648),
                                    qint64(999999999999)}) {
            for (int k = 0; k < 100; ++k) {
                const QString expected = QString::number(rubles) + u'.'
                    + QString::number(k).rightJustified(2, u'0');
                const double added = double(rubles) + k / 100.0;
                const double divided = double(rubles * 100 + k) / 100.0;
                QCOMPARE(SumInFigures(1, 2, 2, added), expected);
                QCOMPARE(SumInFigures(1, 2, 2, divided), expected);
            }
        }
    }

    void dateInText_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("text");
        const QDate jan2(2014, 1, 2);
        const auto row = [](const char *name, int format, QDate date, const char *text) {
            QTest::newRow(name) << format << date << QString::fromUtf8(text);
        };
        row("0", 0, jan2, "2.01.2014");
        row("1", 1, jan2, "2.01.2014 г.");
        row("2", 2, jan2, "2 января 2014");
        row("3", 3, jan2, "2 января 2014 г.");
        row("4", 4, jan2, "02.01.2014");
        row("5", 5, jan2, "02.01.2014 г.");
        row("6", 6, jan2, "02 января 2014");
        row("7", 7, jan2, "02 января 2014 г.");
        row("March 0", 0, QDate(2024, 3, 5), "5.03.2024");
        row("March 2", 2, QDate(2024, 3, 5), "5 марта 2024");
        row("March 5", 5, QDate(2024, 3, 5), "05.03.2024 г.");
        row("March 7", 7, QDate(2024, 3, 5), "05 марта 2024 г.");
        row("last day and month", 7, QDate(2023, 12, 31), "31 декабря 2023 г.");
        row("two-digit day unpadded", 0, QDate(2023, 11, 15), "15.11.2023");
        row("engine's zero date", 4, QDate(1899, 12, 30), "30.12.1899");
        row("index 8", 8, jan2, "");
        row("index -1", -1, jan2, "");
        row("invalid date", 4, QDate(), "");
    }
    void dateInText()
    {
        QFETCH(int, format);
        QFETCH(QDate, date);
        QFETCH(QString, text);
        QCOMPARE(DateInText(format, date), text);
    }

    void twoDigits()
    {
        QCOMPARE(TwoDigits(QStringLiteral("7")), QStringLiteral("07"));
        QCOMPARE(TwoDigits(QStringLiteral("12")), QStringLiteral("12"));
        QCOMPARE(TwoDigits(QStringLiteral("123")), QStringLiteral("123"));
        QCOMPARE(TwoDigits(QString()), QString());
    }

    void upFirst()
    {
        QCOMPARE(UpFirst(QStringLiteral("один рубль")), QStringLiteral("Один рубль"));
        QCOMPARE(UpFirst(QStringLiteral("ёлка")), QStringLiteral("Ёлка"));
        QCOMPARE(UpFirst(QStringLiteral("abc дом")), QStringLiteral("Abc дом"));
        QCOMPARE(UpFirst(QStringLiteral("Уже")), QStringLiteral("Уже"));
        QCOMPARE(UpFirst(QStringLiteral("5 копеек")), QStringLiteral("5 копеек"));
        QCOMPARE(UpFirst(QString()), QString());
    }
};

QTEST_APPLESS_MAIN(TestWriteSum)
#include "tst_writesum.moc"
