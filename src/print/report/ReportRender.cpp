#include "report/Report.h"

#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

void Report::renderPage(QPainter &painter, int pageIndex) const
{
    if (pageIndex < 0 || pageIndex >= pageCount() || !painter.device())
        return;
    const double sx = painter.device()->logicalDpiX() / 25.4;
    const double sy = painter.device()->logicalDpiY() / 25.4;
    auto px = [&](QPointF mm) { return QPointF(mm.x() * sx, mm.y() * sy); };

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setBrush(Qt::NoBrush);
    const ReportFont *font = nullptr;
    double penWidth = -1;
    for (const Item &item : m_pages[size_t(pageIndex)]) {
        switch (item.type) {
        case Item::Type::Fill:
            painter.fillRect(QRectF(px(item.p1), px(item.p2)), item.color);
            break;
        case Item::Type::Line: {
            // At least one device pixel, so that thin lines survive a coarse image.
            const double w = std::max(1.0, item.width * (sx + sy) / 2);
            if (w != penWidth) {
                painter.setPen(QPen(item.color, w, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
                penWidth = w;
            }
            painter.drawLine(px(item.p1), px(item.p2));
            break;
        }
        case Item::Type::Text:
            if (!font || !(*font == item.font)) {
                painter.setFont(item.font.toQFont());
                font = &item.font;
            }
            if (penWidth != 0) {
                painter.setPen(item.color);
                penWidth = 0;
            }
            painter.drawText(px(item.p1), item.text);
            break;
        }
    }
    painter.restore();
}

bool Report::render(QPaintDevice *device)
{
    if (!device || !prepare())
        return false;
    auto *paged = dynamic_cast<QPagedPaintDevice *>(device);
    if (paged)
        paged->setPageLayout(pageLayout());
    QPainter painter;
    if (!painter.begin(device))
        return false;
    if (paged) {
        // A printer may keep margins it cannot print on; its painter then
        // starts there, and the report still measures from the sheet's corner.
        const QRect paint = paged->pageLayout().paintRectPixels(device->logicalDpiX());
        painter.translate(-paint.topLeft());
    }
    const int pages = paged ? pageCount() : std::min(pageCount(), 1);
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            paged->newPage();
        renderPage(painter, i);
    }
    return painter.end();
}

QImage Report::pageImage(int pageIndex, int dpi) const
{
    const QSizeF mm = sheetSize();
    QImage image(qRound(mm.width() * dpi / 25.4), qRound(mm.height() * dpi / 25.4), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    renderPage(painter, pageIndex);
    return image;
}

bool Report::exportPdf(const QString &path)
{
    QPdfWriter writer(path);
    writer.setResolution(1200);
    writer.setCreator(QStringLiteral("Квитон"));
    writer.setTitle(m_title);
    return render(&writer);
}
