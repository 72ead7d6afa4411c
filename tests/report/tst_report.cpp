#include "report/Report.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

constexpr double kTol = 0.3;  // mm, what the PDF's glyph boxes may stray

struct Word {
    QString text;
    QRectF rect;  // mm from the sheet's corner
};

struct PdfPage {
    QSizeF size;  // mm
    QList<Word> words;

    QList<Word> find(const QString &text) const
    {
        QList<Word> found;
        for (const Word &w : words)
            if (w.text == text)
                found.append(w);
        return found;
    }
};

bool havePdfToText() { return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(); }

// The words of a PDF with their boxes, as pdftotext -bbox reads them back.
QList<PdfPage> readPdf(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    const double mm = 25.4 / 72;
    QList<PdfPage> pages;
    QXmlStreamReader xml(p.readAllStandardOutput());
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto a = xml.attributes();
        auto num = [&](const char *name) { return a.value(QLatin1String(name)).toDouble() * mm; };
        if (xml.name() == QLatin1String("page")) {
            pages.append({QSizeF(num("width"), num("height")), {}});
        } else if (xml.name() == QLatin1String("word") && !pages.isEmpty()) {
            const QRectF r(QPointF(num("xMin"), num("yMin")), QPointF(num("xMax"), num("yMax")));
            pages.last().words.append({xml.readElementText(), r});
        }
    }
    return pages;
}

bool inside(const QRectF &word, const QRectF &box)
{
    return word.left() >= box.left() - kTol && word.right() <= box.right() + kTol
        && word.top() >= box.top() - kTol && word.bottom() <= box.bottom() + kTol;
}

QString describe(const QRectF &r)
{
    return QStringLiteral("(%1, %2)-(%3, %4)").arg(r.left(), 0, 'f', 2).arg(r.top(), 0, 'f', 2)
        .arg(r.right(), 0, 'f', 2).arg(r.bottom(), 0, 'f', 2);
}

QRectF unite(const QList<Word> &words)
{
    QRectF r;
    for (const Word &w : words)
        r = r.isNull() ? w.rect : r.united(w.rect);
    return r;
}

// The form fixture: A4 with margins left 20 and top 10, one page-header
// band, so an element at band (x, y) stands at (x + 20, y + 10) on the sheet.
const QPointF kOrigin(20, 10);
const QString kLongText = QStringLiteral(
    "Оплата по договору поставки номер 17 от первого марта за товары и услуги согласно счёту");

struct FormFixture {
    Report report;
    QString number = QStringLiteral("нет");
    int hookCalls = 0;

    FormFixture()
    {
        report.setPage(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 10, 10, 10));
        ReportBand &band = report.addBand(BandKind::PageHeader, 214.3);
        band.addLabel(QStringLiteral("Left"), {5, 5, 40, 4.5}, QStringLiteral("Слева"));
        auto &centre = band.addData(QStringLiteral("Centre"), {60, 5, 40, 8}, [this] { return number; });
        centre.alignment = Qt::AlignHCenter | Qt::AlignVCenter;
        centre.frame.sides = ReportFrame::All;
        band.addLabel(QStringLiteral("Right"), {110, 5, 40, 4.5}, QStringLiteral("Справа")).alignment = Qt::AlignRight;
        auto &bold = band.addLabel(QStringLiteral("Bold"), {5, 15, 20, 4.5}, QStringLiteral("ПЛАТЕЖНОЕ ПОРУЧЕНИЕ"));
        bold.font.bold = true;
        bold.autoSize = true;

        auto &hooked = band.addData(QStringLiteral("Hooked"), {5, 25, 60, 4.5}, [] { return QStringLiteral("исходный"); });
        hooked.onPrint = [this](ElementPrint &p) {
            ++hookCalls;
            if (p.text == QStringLiteral("исходный"))
                p.text = QStringLiteral("Заменено");
            p.font.pointSize = 6;
        };
        band.addLabel(QStringLiteral("Disabled"), {5, 35, 40, 4.5}, QStringLiteral("Невидимка")).enabled = false;
        band.addLabel(QStringLiteral("HookOff"), {60, 35, 40, 4.5}, QStringLiteral("Отключено")).onPrint =
            [](ElementPrint &p) { p.enabled = false; };

        band.addData(QStringLiteral("Wrapped"), {5, 45, 40, 9}, [] { return kLongText; });
        auto &code = band.addData(QStringLiteral("Code"), {70, 45, 18.3, 8.2},
                                  [] { return QStringLiteral("12345678901 23456 789012345"); });
        code.font.pointSize = 6;
        band.addData(QStringLiteral("Unbroken"), {70, 60, 18.3, 8.2},
                     [] { return QStringLiteral("1234567890123456789012345"); })
            .font.pointSize = 6;
        band.addData(QStringLiteral("Lines"), {100, 45, 60, 9}, [] { return QStringLiteral("Первая\r\nВторая"); });
    }

    QRectF sheetRect(const QString &name) const { return report.element(name)->rect.translated(kOrigin); }
};

} // namespace

class TestReport : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    FormFixture *m_form = nullptr;
    QList<PdfPage> m_formPdf;

private Q_SLOTS:
    void initTestCase()
    {
        m_form = new FormFixture;
        // The value is read when the element prints, not when it is set up.
        m_form->number = QStringLiteral("777");
        const QString path = m_dir.filePath(QStringLiteral("form.pdf"));
        QVERIFY(m_form->report.exportPdf(path));
        QCOMPARE(m_form->report.pageCount(), 1);
        if (havePdfToText())
            m_formPdf = readPdf(path);
    }

    void cleanupTestCase() { delete m_form; }

    void textsStandInTheirBoxes_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("left, top") << "Left" << QStringList{"Слева"};
        QTest::newRow("data text, centred both ways") << "Centre" << QStringList{"777"};
        QTest::newRow("right") << "Right" << QStringList{"Справа"};
        QTest::newRow("auto-sized bold stays on one line") << "Bold" << QStringList{"ПЛАТЕЖНОЕ", "ПОРУЧЕНИЕ"};
        QTest::newRow("explicit line break") << "Lines" << QStringList{"Первая", "Вторая"};
    }

    void textsStandInTheirBoxes()
    {
        if (!havePdfToText())
            QSKIP("pdftotext is not installed");
        QFETCH(QString, element);
        QFETCH(QStringList, words);
        QCOMPARE(m_formPdf.size(), 1);
        const PdfPage &page = m_formPdf.first();
        QVERIFY(qAbs(page.size.width() - 210) < 0.5 && qAbs(page.size.height() - 297) < 0.5);

        const ReportElement &e = *m_form->report.element(element);
        QRectF box = m_form->sheetRect(element);
        if (e.autoSize)
            box.setRight(box.left() + 100);  // widens to its text
        QList<Word> found;
        for (const QString &w : words) {
            const auto hits = page.find(w);
            QVERIFY2(hits.size() == 1, qPrintable(w));
            QVERIFY2(inside(hits.first().rect, box),
                     qPrintable(w + describe(hits.first().rect) + " not in " + describe(box)));
            found += hits;
        }
        const QRectF text = unite(found);
        if (e.alignment & Qt::AlignHCenter)
            QVERIFY(qAbs(text.center().x() - box.center().x()) < kTol);
        else if (e.alignment & Qt::AlignRight)
            QVERIFY(qAbs(text.right() - box.right()) < kTol);
        else
            QVERIFY(qAbs(text.left() - box.left()) < kTol);
        if (e.alignment & Qt::AlignVCenter)
            QVERIFY(qAbs(text.center().y() - box.center().y()) < kTol);
        if (e.autoSize || words.size() == 1)
            QVERIFY(text.height() < 5);  // one line
        else
            QVERIFY(found.last().rect.top() >= found.first().rect.bottom() - kTol);
    }

    void printHookReplacesTextAndFontSize()
    {
        if (!havePdfToText())
            QSKIP("pdftotext is not installed");
        const PdfPage &page = m_formPdf.first();
        QVERIFY(page.find(QStringLiteral("исходный")).isEmpty());
        const auto hits = page.find(QStringLiteral("Заменено"));
        QCOMPARE(hits.size(), 1);
        QVERIFY(inside(hits.first().rect, m_form->sheetRect(QStringLiteral("Hooked"))));
        const double tenPoints = page.find(QStringLiteral("Слева")).first().rect.height();
        QVERIFY2(qAbs(hits.first().rect.height() / tenPoints - 0.6) < 0.05,
                 qPrintable(QString::number(hits.first().rect.height() / tenPoints)));
        // The change holds for one print: the element keeps its own size.
        QCOMPARE(m_form->report.element(QStringLiteral("Hooked"))->font.pointSize, 10.0);
        QCOMPARE(m_form->hookCalls, 1);
    }

    void disabledElementsPrintNothing()
    {
        if (!havePdfToText())
            QSKIP("pdftotext is not installed");
        const PdfPage &page = m_formPdf.first();
        QVERIFY(page.find(QStringLiteral("Невидимка")).isEmpty());
        QVERIFY(page.find(QStringLiteral("Отключено")).isEmpty());
    }

    void wrappedTextStaysInItsBox_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("lines");
        QTest::addColumn<bool>("complete");
        // Two lines of 10 points fit in 9 mm; the rest is left out.
        QTest::newRow("long text") << "Wrapped" << kLongText << 2 << false;
        // 25 digits at 6 points in 18.3 mm: 11 digits, then the 14 that fit.
        QTest::newRow("split code") << "Code" << "12345678901 23456 789012345" << 2 << true;
        // No blank at all: the code breaks where the box ends.
        QTest::newRow("unbroken code") << "Unbroken" << "1234567890123456789012345" << 2 << true;
    }

    void wrappedTextStaysInItsBox()
    {
        if (!havePdfToText())
            QSKIP("pdftotext is not installed");
        QFETCH(QString, element);
        QFETCH(QString, text);
        QFETCH(int, lines);
        QFETCH(bool, complete);
        const PdfPage &page = m_formPdf.first();
        const QRectF box = m_form->sheetRect(element);
        QList<Word> found;
        for (const Word &w : page.words)
            if (box.adjusted(-kTol, -kTol, kTol, kTol).intersects(w.rect))
                found.append(w);
        QStringList printed;
        QList<double> tops;
        for (const Word &w : found) {
            QVERIFY2(inside(w.rect, box), qPrintable(w.text + describe(w.rect) + " not in " + describe(box)));
            printed.append(w.text);
            if (std::none_of(tops.begin(), tops.end(), [&](double t) { return qAbs(t - w.rect.top()) < 0.5; }))
                tops.append(w.rect.top());
        }
        QCOMPARE(tops.size(), lines);
        const QString all = QString(text).remove(QLatin1Char(' '));
        const QString got = printed.join(QString());
        QCOMPARE(got, complete ? all : all.left(got.size()));
        if (!complete)
            QVERIFY(got.size() < all.size());
    }

    void beforePrintHookAndExportFailures()
    {
        Report report;
        int reads = 0;
        auto &e = report.addBand(BandKind::PageHeader, 20)
                      .addData(QStringLiteral("Value"), {0, 0, 50, 5}, [&] { ++reads; return QStringLiteral("x"); });
        const QString path = m_dir.filePath(QStringLiteral("cancelled.pdf"));

        report.setBeforePrint([](Report &) { return false; });
        QVERIFY(!report.exportPdf(path));
        QCOMPARE(report.pageCount(), 0);
        QCOMPARE(reads, 0);
        QVERIFY(!QFile::exists(path));

        // The hook runs before any element and its changes apply to the run.
        report.setBeforePrint([](Report &r) {
            r.element(QStringLiteral("Value"))->enabled = false;
            return true;
        });
        QVERIFY(report.prepare());
        QCOMPARE(report.pageCount(), 1);
        QCOMPARE(reads, 0);
        QVERIFY(!e.enabled);

        QVERIFY(!report.exportPdf(m_dir.filePath(QStringLiteral("no/such/folder/x.pdf"))));
    }

    void detailBreaksPagesAndRepeatsHeaders_data()
    {
        QTest::addColumn<int>("records");
        QTest::newRow("60 records") << 60;
        QTest::newRow("no record") << 0;
    }

    void detailBreaksPagesAndRepeatsHeaders()
    {
        if (!havePdfToText())
            QSKIP("pdftotext is not installed");
        QFETCH(int, records);
        // A register: Letter landscape, margins top 20, bottom 10, sides 7.
        const double top = 20, bottom = 215.9 - 10, footer = 6, detail = 7.9;
        const int stretched = 5;
        Report report;
        report.setPage(QPageSize(QPageSize::Letter), QPageLayout::Landscape, QMarginsF(7, top, 7, 10));
        int current = 0;
        report.setRecordSource({[&] { current = 0; }, [&] { ++current; }, [&] { return current >= records; }});

        report.addBand(BandKind::Title, 28.8).addLabel(QStringLiteral("t"), {50, 0.3, 137.6, 8.7}, QStringLiteral("Реестр"));
        ReportBand &header = report.addBand(BandKind::ColumnHeader, 10.8);
        header.background = QColor(0xC0, 0xC0, 0xC0);
        header.frame.sides = ReportFrame::All;
        header.addLabel(QStringLiteral("h"), {0.3, 0.3, 17.7, 10.1}, QStringLiteral("Номер")).frame.sides = ReportFrame::Right;
        ReportBand &row = report.addBand(BandKind::Detail, detail);
        row.frame.sides = ReportFrame::Left | ReportFrame::Right | ReportFrame::Bottom;
        row.addData(QStringLiteral("n"), {0.3, 0, 17.5, 7.1},
                    [&] { return QStringLiteral("Rec%1").arg(current, 3, 10, QLatin1Char('0')); });
        auto &grows = row.addData(QStringLiteral("g"), {69.3, 0, 50.3, 7.1},
                                  [&] { return current == stretched ? kLongText : QString(); });
        grows.font.pointSize = 8;
        grows.stretch = true;
        report.addBand(BandKind::Summary, 10.8).addLabel(QStringLiteral("s"), {23.5, 2.4, 14.8, 5}, QStringLiteral("Итого:"));
        report.addBand(BandKind::PageFooter, footer)
            .addData(QStringLiteral("f"), {0, 0, 40, 5}, [&] { return QStringLiteral("Стр.%1").arg(report.currentPage()); });

        const QString path = m_dir.filePath(QStringLiteral("register.pdf"));
        QVERIFY(report.exportPdf(path));
        const QList<PdfPage> pages = readPdf(path);
        QCOMPARE(pages.size(), report.pageCount());
        QCOMPARE(pages.size() > 1, records > 0);

        int expected = 0;
        double headerTop = -1;
        for (int p = 0; p < pages.size(); ++p) {
            const PdfPage &page = pages[p];
            QVERIFY(qAbs(page.size.width() - 279.4) < 0.5 && qAbs(page.size.height() - 215.9) < 0.5);
            QCOMPARE(page.find(QStringLiteral("Реестр")).size(), p == 0 ? 1 : 0);
            const auto head = page.find(QStringLiteral("Номер"));
            QCOMPARE(head.size(), 1);
            if (p == 0)
                headerTop = head.first().rect.top();
            else  // no title above it any more
                QVERIFY(head.first().rect.top() < headerTop - 28);
            const double bodyTop = (p == 0 ? top + 28.8 : top) + 10.8;
            const auto foot = page.find(QStringLiteral("Стр.%1").arg(p + 1));
            QCOMPARE(foot.size(), 1);
            QVERIFY(inside(foot.first().rect, QRectF(7, bottom - footer, 40, 5)));

            QList<Word> rows;
            for (const Word &w : page.words)
                if (w.text.startsWith(QLatin1String("Rec")))
                    rows.append(w);
            for (const Word &w : rows) {
                QCOMPARE(w.text, QStringLiteral("Rec%1").arg(expected++, 3, 10, QLatin1Char('0')));
                QVERIFY(w.rect.top() >= bodyTop - kTol);
                QVERIFY(w.rect.bottom() <= bottom - footer + kTol);
            }
            if (!rows.isEmpty())
                QVERIFY(qAbs(rows.first().rect.top() - bodyTop) < 1);
            if (p + 1 < pages.size()) {
                // The page broke only because one more row would not fit.
                QVERIFY(!rows.isEmpty());
                QVERIFY(rows.last().rect.top() + 2 * detail > bottom - footer - kTol);
            } else {
                const auto total = page.find(QStringLiteral("Итого:"));
                QCOMPARE(total.size(), 1);
                if (!rows.isEmpty())
                    QVERIFY(total.first().rect.top() > rows.last().rect.top() + detail - kTol);
            }
        }
        QCOMPARE(expected, records);

        if (records > stretched) {
            // The wrapped row grew, and pushed the next one down by as much.
            const PdfPage &first = pages.first();
            const double a = first.find(QStringLiteral("Rec%1").arg(stretched, 3, 10, QLatin1Char('0'))).first().rect.top();
            const double b = first.find(QStringLiteral("Rec%1").arg(stretched + 1, 3, 10, QLatin1Char('0'))).first().rect.top();
            QList<Word> wrapped;
            for (const QString &w : kLongText.split(QLatin1Char(' ')))
                wrapped += first.find(w);
            QCOMPARE(wrapped.size(), kLongText.count(QLatin1Char(' ')) + 1);
            const QRectF text = unite(wrapped);
            QVERIFY(text.height() > 3 * 3);
            QVERIFY(inside(text, QRectF(7 + 69.3, a - 1, 50.3, b - a)));
            QVERIFY(b - a > text.height() + (detail - 7.1) - kTol);
        }
    }

    void imageShowsFramesAndFills()
    {
        // 100 x 50 mm at 254 dpi: ten pixels a millimetre.
        Report report;
        report.setPage(QPageSize(QSizeF(100, 50), QPageSize::Millimeter), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10));
        ReportBand &band = report.addBand(BandKind::PageHeader, 30);
        band.background = QColor(0xC0, 0xC0, 0xC0);
        band.addBox(QStringLiteral("sides"), {10, 5, 20, 20}, ReportFrame::Left | ReportFrame::Right);
        band.addBox(QStringLiteral("rows"), {40, 5, 20, 20}, ReportFrame::Top | ReportFrame::Bottom);
        band.addBox(QStringLiteral("opaque"), {65, 5, 10, 10}, {}).transparent = false;
        band.addBox(QStringLiteral("off"), {65, 18, 10, 10}, ReportFrame::All).enabled = false;
        QVERIFY(report.prepare());
        const QImage image = report.pageImage(0, 254);
        QCOMPARE(image.size(), QSize(1000, 500));

        auto gray = [&](int x, int y) { return qGray(image.pixel(x, y)); };
        auto darkColumn = [&](int x, int y0, int y1) {
            for (int y = y0; y <= y1; ++y)
                if (gray(x, y) > 100)
                    return false;
            return true;
        };
        auto darkRow = [&](int y, int x0, int x1) {
            for (int x = x0; x <= x1; ++x)
                if (gray(x, y) > 100)
                    return false;
            return true;
        };
        // Box "sides" spans x 200..400, y 150..350 on the sheet.
        QVERIFY(darkColumn(200, 155, 345));
        QVERIFY(darkColumn(400, 155, 345));
        QVERIFY(!darkRow(150, 210, 390));
        QVERIFY(!darkColumn(300, 155, 345));
        // Box "rows" spans x 500..700.
        QVERIFY(darkRow(150, 505, 695));
        QVERIFY(darkRow(350, 505, 695));
        QVERIFY(!darkColumn(500, 155, 345));

        QCOMPARE(gray(300, 250), 0xC0);  // band fill
        QCOMPARE(gray(800, 200), 0xFF);  // opaque element over it
        QCOMPARE(gray(800, 310), 0xC0);  // disabled: no frame
        QCOMPARE(gray(850, 330), 0xC0);
        QCOMPARE(gray(500, 450), 0xFF);  // below the band
    }
};

QTEST_MAIN(TestReport)
#include "tst_report.moc"
