// Rendering a form of about 120 elements to PDF: one page, then 100 orders
// in one file, against bare QPainter calls drawing the same texts and lines.
#include "report/Report.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const char *const kCaptions[] = {
    "Сумма прописью", "ИНН", "КПП", "Сумма", "Сч. №", "Плательщик", "БИК", "Банк плательщика",
    "Банк получателя", "Получатель", "Вид оп.", "Срок плат.", "Наз. пл.", "Очер. плат.", "Код", "Рез. поле",
    "Назначение платежа", "Подписи", "Отметки банка", "М.П.",
};

QString valueFor(int i, int order)
{
    switch (i % 5) {
    case 0:
        return QString::number(1000 + order);
    case 1:
        return QStringLiteral("Общество с ограниченной ответственностью \"Ромашка-%1\" г. Москва").arg(order);
    case 2:
        return QStringLiteral("40702810%1000000%2").arg(order % 10).arg(i, 4, 10, QLatin1Char('0'));
    case 3:
        return QStringLiteral("Сто двадцать три тысячи четыреста пятьдесят шесть рублей %1 копеек").arg(order % 100);
    default:
        return QStringLiteral("%1.03.2024").arg(order % 28 + 1, 2, 10, QLatin1Char('0'));
    }
}

// Forty cells of 45 x 21.4 mm, each with a box, a caption and a value.
void buildForm(Report &report, const int &order)
{
    report.setPage(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 10, 10, 10));
    ReportBand &band = report.addBand(BandKind::PageHeader, 214.3);
    const ReportFrame::Side sides[] = {ReportFrame::Left, ReportFrame::Top, ReportFrame::Right, ReportFrame::Bottom};
    for (int i = 0; i < 40; ++i) {
        const double x = (i % 4) * 45, y = (i / 4) * 21.4;
        band.addBox(QStringLiteral("Box%1").arg(i), {x, y, 45, 21.4},
                    ReportFrame::Sides(sides[i % 4]) | sides[(i + 1) % 4] | (i % 3 ? ReportFrame::Top : ReportFrame::Side(0)));
        auto &label = band.addLabel(QStringLiteral("Label%1").arg(i), {x + 0.5, y + 0.5, 30, 4.5},
                                    QString::fromUtf8(kCaptions[i % 20]));
        label.font.pointSize = i % 2 ? 7 : 10;
        label.font.bold = i == 0;
        auto &data = band.addData(QStringLiteral("Data%1").arg(i), {x + 1, y + 5.5, 43, 15},
                                  [i, &order] { return valueFor(i, order); });
        data.alignment = i % 3 ? Qt::AlignLeft | Qt::AlignTop : Qt::AlignHCenter | Qt::AlignVCenter;
        if (i % 4 == 0)
            data.onPrint = [](ElementPrint &p) { p.font.pointSize = p.text.size() > 19 ? 8 : 10; };
    }
}

// The same texts and lines drawn straight with QPainter, for the ratio.
void drawBare(QPainter &painter, int order)
{
    const double mm = painter.device()->logicalDpiX() / 25.4;
    QFont caption(QStringLiteral("Arial"));
    QFont value(QStringLiteral("Arial"));
    value.setPointSizeF(10);
    painter.setPen(QPen(Qt::black, 0.2 * mm));
    for (int i = 0; i < 40; ++i) {
        const double x = 20 + (i % 4) * 45, y = 10 + (i / 4) * 21.4;
        const QRectF box(x * mm, y * mm, 45 * mm, 21.4 * mm);
        painter.drawLine(box.topLeft(), box.bottomLeft());
        painter.drawLine(box.topLeft(), box.topRight());
        caption.setPointSizeF(i % 2 ? 7 : 10);
        painter.setFont(caption);
        painter.drawText(QRectF((x + 0.5) * mm, (y + 0.5) * mm, 30 * mm, 4.5 * mm), Qt::TextWordWrap,
                         QString::fromUtf8(kCaptions[i % 20]));
        painter.setFont(value);
        painter.drawText(QRectF((x + 1) * mm, (y + 5.5) * mm, 43 * mm, 15 * mm), Qt::TextWordWrap, valueFor(i, order));
    }
}

template <typename F>
double msOf(F &&f)
{
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    int order = 0;
    Report report;
    buildForm(report, order);
    int elements = 0;
    for (const auto &b : report.bands())
        elements += int(b->elements.size());

    const QString one = dir.filePath(QStringLiteral("one.pdf"));
    report.exportPdf(one);  // warm the font caches
    std::vector<double> runs;
    for (int i = 0; i < 30; ++i) {
        order = i;
        runs.push_back(msOf([&] { report.exportPdf(one); }));
    }
    std::printf("one page of %d elements to PDF: %.2f ms (median of %zu, best %.2f)\n", elements, median(runs),
                runs.size(), *std::min_element(runs.begin(), runs.end()));

    const int orders = 100;
    const double total = msOf([&] {
        QPdfWriter writer(dir.filePath(QStringLiteral("orders.pdf")));
        writer.setResolution(1200);
        writer.setPageLayout(report.pageLayout());
        QPainter painter(&writer);
        for (order = 0; order < orders; ++order) {
            report.prepare();
            if (order > 0)
                writer.newPage();
            report.renderPage(painter, 0);
        }
    });
    const double bare = msOf([&] {
        QPdfWriter writer(dir.filePath(QStringLiteral("bare.pdf")));
        writer.setResolution(1200);
        writer.setPageLayout(report.pageLayout());
        QPainter painter(&writer);
        for (int i = 0; i < orders; ++i) {
            if (i > 0)
                writer.newPage();
            drawBare(painter, i);
        }
    });
    std::printf("%d orders in one PDF: %.1f ms total, %.2f ms a page (target <= 50 ms a page)\n", orders, total,
                total / orders);
    std::printf("reference, bare QPainter, same texts: %.1f ms total; ratio %.2f\n", bare, total / bare);
    return total / orders <= 50 ? 0 : 1;
}
