#include "PayOrderForm.h"
#include "PayOrderTables.h"
#include "PrintFixture.h"
#include "SampleOrders.h"

#include <QtTest>

#include <functional>

namespace {

using Change = std::function<void(PayOrderRow &, PrintSettings &)>;

QString lowerOfLen(int n) { return QString(QStringLiteral("12345678901234567890123456789")).left(n); }

constexpr double kTol = 0.3;  // mm the PDF's glyph boxes may stray

bool inside(const QRectF &word, const QRectF &box)
{
    return word.left() >= box.left() - kTol && word.right() <= box.right() + kTol
        && word.top() >= box.top() - kTol && word.bottom() <= box.bottom() + kTol;
}

// The words of the element's text that no word of the page inside its box matches.
QStringList missingWords(const QList<PdfWord> &page, const QString &text, const QRectF &box)
{
    auto found = [&](const QString &w) {
        return std::any_of(page.begin(), page.end(), [&](const PdfWord &p) { return p.text == w && inside(p.rect, box); });
    };
    QStringList missing;
    for (const QString &w : text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
        if (found(w))
            continue;
        // The word wrap may break a word after a hyphen.
        const QStringList pieces = w.split(QRegularExpression(QStringLiteral("(?<=-)")), Qt::SkipEmptyParts);
        if (pieces.size() < 2 || !std::all_of(pieces.begin(), pieces.end(), found))
            missing << w;
    }
    return missing;
}

} // namespace

Q_DECLARE_METATYPE(Change)

class TestPayForm : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    // Renders a row to PDF and returns its words.
    QList<PdfWord> renderWords(const PayOrderRow &row, const PrintSettings &settings, const QString &file)
    {
        FixedPayOrderReader reader;
        reader.row = row;
        Report report;
        PayForm::build(report, reader, [settings] { return settings; });
        const QString path = m_dir.filePath(file);
        if (!report.exportPdf(path) || report.pageCount() != 1)
            return {};
        return pdfWords(path);
    }

private Q_SLOTS:
    void rules_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<Change>("change");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("size");
        QTest::addColumn<bool>("enabled");
        const Change none = [](PayOrderRow &, PrintSettings &) {};
        auto row = [&](const char *tag, const char *element, Change change, const QString &text, double size = 10,
                       bool enabled = true) {
            QTest::newRow(tag) << QString::fromLatin1(element) << change << text << size << enabled;
        };

        // Each element reads its own column.
        row("num", "NumText", none, QStringLiteral("123"));
        row("num empty", "NumText", [](auto &r, auto &) { r.order.num.reset(); }, QString());
        row("pay type", "PayTypeText", none, QStringLiteral("электронно"));
        row("status", "YStateText", none, QStringLiteral("02"));
        row("op type", "OpTypeText", none, QStringLiteral("01"));
        row("purpose code", "QRDBTextNpl", none, QStringLiteral("2"));
        row("priority", "OchPayText", none, QStringLiteral("5"));
        row("cbc", "CBCText", none, QStringLiteral("18210102010011000110"));
        row("ocato", "OCATOText", none, QStringLiteral("45286555"));
        row("basis", "OsnPeText", none, QStringLiteral("ТП"));
        row("doc number", "PNDoc", none, QStringLiteral("15"));
        row("payment kind", "PTypeText", none, QStringLiteral("1"));
        row("payer name", "PayerPnameText", none, QStringLiteral("ООО \"Ромашка\""));
        row("payer inn", "PayerINNText", none, QStringLiteral("7701234567"));
        row("payer kpp caption", "KPPpayerLabel", none, QStringLiteral("КПП"));
        row("payer kpp", "QRDBText4", none, QStringLiteral("770101001"));
        row("payer account", "PayerRBillText", none, QStringLiteral("40702810900000000001"));
        row("payer bik", "PayerBIKText", none, QStringLiteral("044525225"));
        row("payer corr", "PayerCBillText", none, QStringLiteral("30101810400000000225"));
        row("payer bank", "PayerBankText", none, QStringLiteral("ПАО Сбербанк г. Москва"));
        row("getter name", "GetterPNameText", none, QStringLiteral("УФК по г. Москве"));
        row("getter inn", "GetterINNText", none, QStringLiteral("7702345678"));
        row("getter kpp caption", "KPPGetterLabel", none, QStringLiteral("КПП"));
        row("getter kpp", "GetterCPPText", none, QStringLiteral("770201001"));
        row("getter account", "GetterRBillText", none, QStringLiteral("03100643000000017300"));
        row("getter bik", "GetterBikText", none, QStringLiteral("004525988"));
        row("getter corr", "GetterCBillText", none, QStringLiteral("40102810545370000003"));
        row("getter bank", "GetterBankText", none, QStringLiteral("ГУ Банка России"));
        row("purpose and vat", "QRLabel49", none, QStringLiteral("Оплата по счёту № 15\r\nВ т.ч. НДС 20% - 205-76"));
        row("form code", "QRLabel73", none, QStringLiteral("0401060"));

        // Dates: the order's and the bank's by one format, the term and field 109 by the other.
        auto formats = [](int date, int pay) { return [=](auto &, PrintSettings &s) { s.dateFormat = date; s.payDateFormat = pay; }; };
        row("date fmt 0", "DateText", none, QStringLiteral("5.03.2024"));
        row("date fmt 7", "DateText", formats(7, 0), QStringLiteral("05 марта 2024 г."));
        row("posted", "PostDateText", formats(4, 2), QStringLiteral("06.03.2024"));
        row("debited", "SpisDateText", formats(4, 2), QStringLiteral("08.03.2024"));
        row("term", "PayDateText", formats(4, 2), QStringLiteral("7 марта 2024"));
        row("doc date", "QRLabel74", formats(2, 4), QStringLiteral("01.03.2024"));
        auto emptyDates = [](PayOrderRow &r, PrintSettings &) {
            r.order.date = r.order.payDate = r.order.postDate = r.order.spisDate = r.order.pDate = QDate();
        };
        row("date empty", "DateText", emptyDates, QString());
        row("term empty", "PayDateText", emptyDates, QString());
        row("posted empty", "PostDateText", emptyDates, QString());
        row("debited empty", "SpisDateText", emptyDates, QString());
        row("doc date empty", "QRLabel74", emptyDates, QStringLiteral(" "));
        auto zeroDay = [](PayOrderRow &r, PrintSettings &) { r.order.date = r.order.pDate = QDate(1899, 12, 30); };
        row("date zero day", "DateText", zeroDay, QString());
        row("doc date zero day", "QRLabel74", zeroDay, QStringLiteral(" "));
        for (int f : {0, 3, 7}) {
            const QByteArray tag = "doc date 0 fmt " + QByteArray::number(f);
            row(tag.constData(), "QRLabel74", [f](auto &r, PrintSettings &s) { r.order.pDate = QDate(2000, 12, 12); s.payDateFormat = f; },
                QStringLiteral("0"));
        }

        // Amounts.
        auto sum = [](double v, int sep = 0, int whole = 0, int noRuble = 0) {
            return [=](PayOrderRow &r, PrintSettings &s) {
                r.order.sum = v;
                s.separatorStyle = sep;
                s.wholeStyle = whole;
                s.noRubleStyle = noRuble;
            };
        };
        row("words", "SumPropText", none, QStringLiteral("Одна тысяча двести тридцать четыре рубля 56 копеек"));
        row("words whole cut", "SumPropText", sum(100, 0, 1), QStringLiteral("Сто рублей "));
        row("words zero", "SumPropText", sum(0), QStringLiteral("Ноль рублей 00 копеек"));
        row("words kopecks", "SumPropText", sum(0.5), QStringLiteral("Ноль рублей 50 копеек"));
        row("figures dot", "SumText", sum(1234.5, 1), QStringLiteral("1234.50"));
        row("figures whole =", "SumText", sum(100, 0, 1), QStringLiteral("100="));
        row("figures whole dot", "SumText", sum(100, 1, 0), QStringLiteral("100-00"));
        row("figures 00-", "SumText", sum(0.5, 1, 0, 0), QStringLiteral("00-50"));
        row("figures 0-", "SumText", sum(0.5, 0, 0, 1), QStringLiteral("0-50"));

        // KPP "00" clears the caption and the value; other texts print as stored.
        auto kpp = [](const char *payer, const char *getter) {
            return [=](PayOrderRow &r, PrintSettings &) {
                r.payer.cpp = QString::fromLatin1(payer);
                r.getter.cpp = QString::fromLatin1(getter);
            };
        };
        row("payer 00 caption", "KPPpayerLabel", kpp("00", "1"), QString());
        row("payer 00 value", "QRDBText4", kpp("00", "1"), QString());
        row("payer 00 getter caption kept", "KPPGetterLabel", kpp("00", "1"), QStringLiteral("КПП"));
        row("payer 0 caption", "KPPpayerLabel", kpp("0", "1"), QStringLiteral("КПП"));
        row("payer 0 value", "QRDBText4", kpp("0", "1"), QStringLiteral("0"));
        row("payer 000 value", "QRDBText4", kpp("000", "1"), QStringLiteral("000"));
        row("getter 00 caption", "KPPGetterLabel", kpp("1", "00"), QString());
        row("getter 00 value", "GetterCPPText", kpp("1", "00"), QString());

        // INN: 10 points up to 19 characters, 8 from 20.
        auto inn = [](int payer, int getter) {
            return [=](PayOrderRow &r, PrintSettings &) {
                r.payer.inn = lowerOfLen(payer);
                r.getter.inn = lowerOfLen(getter);
            };
        };
        row("inn 12", "PayerINNText", inn(12, 12), lowerOfLen(12), 10);
        row("inn 19", "PayerINNText", inn(19, 12), lowerOfLen(19), 10);
        row("inn 20", "PayerINNText", inn(20, 12), lowerOfLen(20), 8);
        row("getter inn 20", "GetterINNText", inn(12, 20), lowerOfLen(20), 8);
        row("getter inn 19", "GetterINNText", inn(20, 19), lowerOfLen(19), 10);

        // UIN split with blanks for the word wrap.
        auto uin = [](const QString &t) { return [=](PayOrderRow &r, PrintSettings &) { r.order.uin = t; }; };
        row("uin empty", "QRDBTextUin", uin(QString()), QString(), 10);
        row("uin 0", "QRDBTextUin", uin(QStringLiteral("0")), QStringLiteral("0"), 10);
        row("uin 11", "QRDBTextUin", uin(lowerOfLen(11)), lowerOfLen(11), 10);
        row("uin 12", "QRDBTextUin", uin(lowerOfLen(12)), QStringLiteral("12345678901 2"), 8);
        row("uin 20", "QRDBTextUin", uin(lowerOfLen(20)), QStringLiteral("12345678901 234567890"), 8);
        row("uin 21", "QRDBTextUin", uin(lowerOfLen(21)), QStringLiteral("12345678901 2345678901"), 8);
        row("uin 22", "QRDBTextUin", uin(lowerOfLen(22)), QStringLiteral("12345678901 23456 789012"), 6);
        row("uin 25", "QRDBTextUin", uin(lowerOfLen(25)), QStringLiteral("12345678901 23456 789012345"), 6);

        // Tax period.
        auto nper = [](const QString &t) { return [=](PayOrderRow &r, PrintSettings &) { r.order.nper = t; }; };
        row("nper 0", "NperText", nper(QStringLiteral("0 .  .")), QStringLiteral("0"));
        row("nper blank", "NperText", nper(QStringLiteral("  .  .")), QStringLiteral(" "));
        row("nper full", "NperText", none, QStringLiteral("МС.03.2024"));
        row("nper other", "NperText", nper(QStringLiteral("0 .03.2024")), QStringLiteral("0 .03.2024"));

        // The small font shrinks the names, the banks and the purpose only.
        const Change small = [](auto &, PrintSettings &s) { s.smallFont = true; };
        for (const char *e : {"PayerPnameText", "PayerBankText", "GetterBankText", "GetterPNameText", "QRLabel49"}) {
            const QByteArray tag = QByteArray("small ") + e;
            QTest::newRow(tag.constData()) << QString::fromLatin1(e) << small
                                           << PayForm::print(QString::fromLatin1(e), baseRow(), {}).text << 8.0 << true;
        }
        row("small keeps inn", "PayerINNText", small, QStringLiteral("7701234567"), 10);
        row("small keeps words", "SumPropText", small, QStringLiteral("Одна тысяча двести тридцать четыре рубля 56 копеек"), 10);
        row("small keeps labels", "QRLabel9", small, QStringLiteral("Сумма прописью"), 10);

        // Seal mark and second signature.
        row("seal on", "QRLabel53", none, QStringLiteral("М.П."), 10, true);
        row("seal off", "QRLabel53", [](auto &, PrintSettings &s) { s.sealMark = false; }, QStringLiteral("М.П."), 10, false);
        row("second signature none", "SecondSignature", none, QString());
        row("second signature default", "SecondSignature", [](PayOrderRow &r, auto &) { r.payer.noSecSign = true; },
            QStringLiteral("Вторая подпись не предусмотрена"));
        row("second signature custom", "SecondSignature", [](PayOrderRow &r, PrintSettings &s) {
            r.payer.noSecSign = true;
            s.noSecondSignature = QStringLiteral("Одна подпись");
        }, QStringLiteral("Одна подпись"));

        // A counterparty missing from the directory: its short name in every cell, captions kept.
        const Change noPayer = [](PayOrderRow &r, auto &) {
            r.payer = CounterpartyValues();
            r.payer.cpp = QStringLiteral("00");
            r.payer.noSecSign = true;
        };
        for (const char *e : {"PayerPnameText", "PayerINNText", "QRDBText4", "PayerRBillText", "PayerBIKText",
                              "PayerCBillText", "PayerBankText", "SecondSignature"}) {
            const QByteArray tag = QByteArray("no payer ") + e;
            QTest::newRow(tag.constData()) << QString::fromLatin1(e) << noPayer << QStringLiteral("Ромашка") << 10.0 << true;
        }
        row("no payer caption", "KPPpayerLabel", noPayer, QStringLiteral("КПП"));
        row("no payer getter kept", "GetterINNText", noPayer, QStringLiteral("7702345678"));
        const Change noGetter = [](PayOrderRow &r, auto &) { r.getter = CounterpartyValues(); };
        row("no getter name", "GetterPNameText", noGetter, QStringLiteral("УФК"));
        row("no getter kpp", "GetterCPPText", noGetter, QStringLiteral("УФК"));
        row("no getter bik", "GetterBikText", noGetter, QStringLiteral("УФК"));
        row("no getter caption", "KPPGetterLabel", noGetter, QStringLiteral("КПП"));
        row("no getter long inn", "GetterINNText",
            [](PayOrderRow &r, auto &) { r.getter = CounterpartyValues(); r.order.getter = lowerOfLen(20); },
            lowerOfLen(20), 8);
    }

    void rules()
    {
        QFETCH(QString, element);
        QFETCH(Change, change);
        PayOrderRow row = baseRow();
        PrintSettings settings;
        change(row, settings);
        QVERIFY2(PayForm::element(element), qPrintable(element));
        const PayForm::Output out = PayForm::print(element, row, settings);
        QTEST(out.text, "text");
        QTEST(out.pointSize, "size");
        QTEST(out.enabled, "enabled");
    }

    // The texts of a rendered order, read back from the PDF: every word of
    // every element inside the element's box, and no word anywhere else.
    void textsStandInTheirBoxes_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<bool>("smallFont");
        QTest::newRow("known order") << 0 << false;
        QTest::newRow("every field filled") << 1 << false;
        QTest::newRow("every field filled, small font") << 1 << true;
        QTest::newRow("optional fields empty") << 2 << false;
    }

    void textsStandInTheirBoxes()
    {
        if (!havePdfToText())
            QSKIP("pdftotext is not installed");
        QFETCH(int, which);
        QFETCH(bool, smallFont);
        const PayOrderRow row = which == 0 ? baseRow() : which == 1 ? fullRow() : sparseRow();
        PrintSettings settings;
        settings.smallFont = smallFont;
        const QList<PdfWord> page = renderWords(row, settings, QStringLiteral("boxes%1%2.pdf").arg(which).arg(smallFont));
        QVERIFY(!page.isEmpty());

        if (which == 0) {
            for (const char *e : {"NumText", "DateText", "SumPropText", "SumText", "PayerINNText", "GetterINNText"})
                QVERIFY2(!PayForm::print(QString::fromLatin1(e), row, settings).text.trimmed().isEmpty(), e);
        }
        QStringList faults;
        QList<QRectF> textBoxes;
        for (const PayFormElement &e : PayForm::layout()) {
            const PayForm::Output out = PayForm::print(e, row, settings);
            if (!out.enabled || out.text.trimmed().isEmpty())
                continue;
            QRectF box = e.sheetRect();
            // The title widens to its text, but not into the number.
            if (e.bold)
                box.setRight(PayForm::element(u"NumText")->x);
            textBoxes << box;
            const QStringList missing = missingWords(page, out.text, box);
            if (!missing.isEmpty())
                faults << e.name.toString() + QStringLiteral(": ") + missing.join(QLatin1Char(' '));
        }
        for (const PdfWord &w : page) {
            if (std::none_of(textBoxes.begin(), textBoxes.end(), [&](const QRectF &b) { return inside(w.rect, b); }))
                faults << QStringLiteral("outside every box: ") + w.text;
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    }

    // The before-print step reads the settings of each run, not those of the first.
    void eachRunFollowsTheSettingsInEffect()
    {
        if (!havePdfToText())
            QSKIP("pdftotext is not installed");
        FixedPayOrderReader reader;
        reader.row = baseRow();
        PrintSettings settings;
        Report report;
        PayForm::build(report, reader, [&settings] { return settings; });
        auto run = [&](const QString &file) {
            const QString path = m_dir.filePath(file);
            return report.exportPdf(path) ? pdfWords(path) : QList<PdfWord>();
        };
        auto height = [](const QList<PdfWord> &page, const QString &text) {
            for (const PdfWord &w : page)
                if (w.text == text)
                    return w.rect.height();
            return 0.0;
        };
        settings.sealMark = false;
        settings.smallFont = true;
        const QList<PdfWord> first = run(QStringLiteral("settings1.pdf"));
        settings = PrintSettings();
        const QList<PdfWord> second = run(QStringLiteral("settings2.pdf"));
        QCOMPARE(height(first, QStringLiteral("М.П.")), 0.0);
        QVERIFY(height(second, QStringLiteral("М.П.")) > 0);
        // The purpose shrinks with the small font and grows back without it.
        const double small = height(first, QStringLiteral("Оплата")), normal = height(second, QStringLiteral("Оплата"));
        QVERIFY2(small > 0 && small < normal * 0.9, qPrintable(QStringLiteral("%1 %2").arg(small).arg(normal)));
        QCOMPARE(height(first, QStringLiteral("Сумма")), height(second, QStringLiteral("Сумма")));
    }

    // From the database: the order at PrintRecNo whatever moved the cursor,
    // the counterparties by their exact short name.
    void readsTheOrderAtTheRecordNumber()
    {
        TempDatabase db;
        DbTable pays, payers;
        db.open(pays, QStringLiteral("PaysDB"), QStringLiteral("Num"));
        db.open(payers, QStringLiteral("PayerDB"), QStringLiteral("PSName"));
        addCounterparties(payers);
        addOrder(pays, 3, 30);
        addOrder(pays, 1, 10);
        addOrder(pays, 2, 20);
        int recNo = 2;
        TablePayOrderReader reader(&pays, &payers, [&] { return recNo; });

        pays.last();
        const PayOrderRow row = reader.read(PayOrderReader::Order | PayOrderReader::Payer | PayOrderReader::Getter);
        QCOMPARE(row.order.num, std::optional<double>(2));
        QCOMPARE(row.order.sum, 20.0);
        QCOMPARE(row.order.date, QDate(2024, 3, 5));
        QVERIFY(!row.order.payDate.isValid());
        QCOMPARE(row.order.dest, QStringLiteral("Оплата по счёту 2"));
        QVERIFY(row.payer.found);
        QCOMPARE(row.payer.inn, QStringLiteral("7701234567"));
        QVERIFY(row.payer.noSecSign);
        QVERIFY(row.getter.found);
        QCOMPARE(row.getter.cpp, QStringLiteral("00"));
        QCOMPARE(pays.recNo(), 2);

        // A whole run leaves the journal at the order it printed.
        Report report;
        PayForm::build(report, reader, {});
        recNo = 3;
        pays.first();
        QVERIFY(report.prepare());
        QCOMPARE(pays.recNo(), 3);
        QCOMPARE(pays.fieldByName(QStringLiteral("Num"))->asFloat(), 3.0);
    }

    void counterpartyMatchesTheShortNameExactly()
    {
        TempDatabase db;
        DbTable pays, payers;
        db.open(pays, QStringLiteral("PaysDB"), QStringLiteral("Num"));
        db.open(payers, QStringLiteral("PayerDB"), QStringLiteral("PSName"));
        addCounterparties(payers);
        addOrder(pays, 1, 10, QStringLiteral("ромашка"));
        TablePayOrderReader reader(&pays, &payers, [] { return 1; });
        const int all = PayOrderReader::Order | PayOrderReader::Payer | PayOrderReader::Getter;

        const PayOrderRow row = reader.read(all);
        QVERIFY(!row.payer.found);
        QVERIFY(row.getter.found);
        QCOMPARE(PayForm::print(u"PayerINNText", row, {}).text, QStringLiteral("ромашка"));
        QCOMPARE(PayForm::print(u"KPPpayerLabel", row, {}).text, QStringLiteral("КПП"));
        QCOMPARE(PayForm::print(u"KPPGetterLabel", row, {}).text, QString());

        // A directory left in another order still finds its entry.
        payers.setIndexFieldNames(QStringLiteral("INN"));
        QCOMPARE(reader.read(all).getter.inn, QStringLiteral("7702345678"));
    }

    void closedOrEmptyJournalGivesABlankOrder()
    {
        TempDatabase db;
        DbTable pays, payers;
        TablePayOrderReader reader(&pays, &payers, [] { return 1; });
        const int all = PayOrderReader::Order | PayOrderReader::Payer | PayOrderReader::Getter;
        QVERIFY(!reader.read(all).order.num);
        db.open(pays, QStringLiteral("PaysDB"), QStringLiteral("Num"));
        QVERIFY(!reader.read(all).order.num);
        Report report;
        PayForm::build(report, reader, {});
        QVERIFY(report.prepare());
        QCOMPARE(report.pageCount(), 1);
        QCOMPARE(pays.recordCount(), 0);
    }
};

QTEST_MAIN(TestPayForm)
#include "tst_payform.moc"
