#include "report/Report.h"

#include <QImage>
#include <QRegularExpression>
#include <QTextLayout>

#include <algorithm>

namespace {

// Text is measured at one fixed, fine resolution so that line breaks and
// band heights come out the same on the screen, the printer and the PDF.
constexpr int kMeasureDpi = 1200;
constexpr double kEps = 0.05;

const QPaintDevice *measureDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(kMeasureDpi / 0.0254));
        image.setDotsPerMeterY(qRound(kMeasureDpi / 0.0254));
        return image;
    }();
    return &device;
}

double toMm(qreal px) { return px * 25.4 / kMeasureDpi; }
double toPx(double mm) { return mm * kMeasureDpi / 25.4; }

struct TextLine {
    QString text;
    double width;  // of the text without trailing blanks
    double top;    // from the top of the first line
    double ascent;
    double height;
};

std::vector<TextLine> breakLines(const QString &text, const ReportFont &font, double width, bool wrap)
{
    std::vector<TextLine> lines;
    if (text.trimmed().isEmpty())
        return lines;
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    const QFont qfont = font.toQFont();
    QTextOption option;
    option.setWrapMode(wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    const double lineWidth = wrap ? toPx(std::max(width, 0.0)) : 1e9;
    double top = 0;
    for (const QString &paragraph : text.split(breaks)) {
        QTextLayout layout(paragraph, qfont, const_cast<QPaintDevice *>(measureDevice()));
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(lineWidth);
            QString piece = paragraph.mid(line.textStart(), line.textLength());
            qsizetype keep = piece.size();
            while (keep > 0 && piece.at(keep - 1).isSpace())
                --keep;
            piece.truncate(keep);
            const double w = toMm(line.cursorToX(line.textStart() + int(keep)) - line.cursorToX(line.textStart()));
            lines.push_back({piece, w, top, toMm(line.ascent()), toMm(line.height())});
            top += lines.back().height;
        }
        layout.endLayout();
    }
    return lines;
}

void addFrame(std::vector<Report::Item> &items, const QRectF &r, const ReportFrame &frame)
{
    auto line = [&](QPointF a, QPointF b) {
        items.push_back({Report::Item::Type::Line, a, b, Qt::black, frame.width, {}, {}});
    };
    if (frame.sides & ReportFrame::Left)
        line(r.topLeft(), r.bottomLeft());
    if (frame.sides & ReportFrame::Top)
        line(r.topLeft(), r.topRight());
    if (frame.sides & ReportFrame::Right)
        line(r.topRight(), r.bottomRight());
    if (frame.sides & ReportFrame::Bottom)
        line(r.bottomLeft(), r.bottomRight());
}

} // namespace

QFont ReportFont::toQFont() const
{
    QFont f(family);
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    // Unhinted glyphs scale with the resolution, so what was measured is what prints.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

ReportElement &ReportBand::addLabel(const QString &name, const QRectF &rect, const QString &caption)
{
    auto &e = *elements.emplace_back(std::make_unique<ReportElement>());
    e.name = name;
    e.rect = rect;
    e.caption = caption;
    return e;
}

ReportElement &ReportBand::addBox(const QString &name, const QRectF &rect, ReportFrame::Sides sides)
{
    auto &e = addLabel(name, rect, QStringLiteral(" "));
    e.kind = ReportElement::Kind::Box;
    e.frame.sides = sides;
    return e;
}

ReportElement &ReportBand::addData(const QString &name, const QRectF &rect, std::function<QString()> value)
{
    auto &e = addLabel(name, rect, QString());
    e.kind = ReportElement::Kind::Data;
    e.value = std::move(value);
    return e;
}

Report::Report() : m_pageSize(QPageSize::A4), m_margins(10, 10, 10, 10) {}
Report::~Report() = default;

void Report::setPage(const QPageSize &size, QPageLayout::Orientation orientation, const QMarginsF &margins)
{
    m_pageSize = size;
    m_orientation = orientation;
    m_margins = margins;
}

QSizeF Report::sheetSize() const
{
    const QSizeF s = m_pageSize.size(QPageSize::Millimeter);
    return m_orientation == QPageLayout::Landscape ? s.transposed() : s;
}

QPageLayout Report::pageLayout() const
{
    return QPageLayout(m_pageSize, m_orientation, QMarginsF(), QPageLayout::Millimeter);
}

ReportBand &Report::addBand(BandKind kind, double height)
{
    return *m_bands.emplace_back(std::make_unique<ReportBand>(kind, height));
}

ReportElement *Report::element(const QString &name) const
{
    for (const auto &band : m_bands)
        for (const auto &e : band->elements)
            if (e->name == name)
                return e.get();
    return nullptr;
}

// A band as laid out once: its height and its drawing steps from its corner.
struct Report::Shot {
    double height = 0;
    std::vector<Item> items;
};

Report::Shot Report::layoutBand(const ReportBand &band, double width) const
{
    struct Placed {
        const ReportElement *element;
        QRectF rect;
        ReportFont font;
        std::vector<TextLine> lines;
    };
    std::vector<Placed> placed;
    double grow = 0;
    for (const auto &ptr : band.elements) {
        const ReportElement &e = *ptr;
        if (!e.enabled)
            continue;
        ElementPrint print{e, e.text(), e.font, true};
        if (e.onPrint)
            e.onPrint(print);
        if (!print.enabled)
            continue;
        Placed p{&e, e.rect, print.font, {}};
        const bool wrap = e.wordWrap && !e.autoSize;
        p.lines = breakLines(print.text, print.font, e.rect.width(), wrap);
        if (e.autoSize && !p.lines.empty()) {
            double w = 0;
            for (const auto &l : p.lines)
                w = std::max(w, l.width);
            if (e.alignment & Qt::AlignRight)
                p.rect.setLeft(p.rect.right() - w);
            else if (e.alignment & Qt::AlignHCenter)
                p.rect = QRectF(p.rect.center().x() - w / 2, p.rect.y(), w, p.rect.height());
            else
                p.rect.setWidth(w);
        }
        if (e.stretch && !p.lines.empty()) {
            const double need = p.lines.back().top + p.lines.back().height;
            if (need > p.rect.height()) {
                grow = std::max(grow, need - p.rect.height());
                p.rect.setHeight(need);
            }
        } else {
            // A fixed box keeps the lines that fit; the first always prints.
            auto last = std::find_if(p.lines.begin() + (p.lines.empty() ? 0 : 1), p.lines.end(),
                                     [&](const TextLine &l) { return l.top + l.height > p.rect.height() + kEps; });
            p.lines.erase(last, p.lines.end());
        }
        placed.push_back(std::move(p));
    }

    Shot shot;
    shot.height = band.height + grow;
    const QRectF bandRect(0, 0, width, shot.height);
    if (band.background.isValid())
        shot.items.push_back({Item::Type::Fill, bandRect.topLeft(), bandRect.bottomRight(), band.background, 0, {}, {}});
    for (const Placed &p : placed) {
        const ReportElement &e = *p.element;
        if (!e.transparent)
            shot.items.push_back({Item::Type::Fill, p.rect.topLeft(), p.rect.bottomRight(), e.background, 0, {}, {}});
        if (!p.lines.empty()) {
            const double textHeight = p.lines.back().top + p.lines.back().height;
            double dy = 0;
            if (e.alignment & Qt::AlignVCenter)
                dy = (p.rect.height() - textHeight) / 2;
            else if (e.alignment & Qt::AlignBottom)
                dy = p.rect.height() - textHeight;
            for (const TextLine &l : p.lines) {
                if (l.text.trimmed().isEmpty())
                    continue;
                double dx = 0;
                if (e.alignment & Qt::AlignRight)
                    dx = p.rect.width() - l.width;
                else if (e.alignment & Qt::AlignHCenter)
                    dx = (p.rect.width() - l.width) / 2;
                const QPointF at(p.rect.x() + dx, p.rect.y() + dy + l.top + l.ascent);
                shot.items.push_back({Item::Type::Text, at, at, Qt::black, 0, l.text, p.font});
            }
        }
        addFrame(shot.items, p.rect, e.frame);
    }
    addFrame(shot.items, bandRect, band.frame);
    return shot;
}

bool Report::prepare()
{
    m_pages.clear();
    m_currentPage = 0;
    if (m_beforePrint && !m_beforePrint(*this))
        return false;

    const QSizeF sheet = sheetSize();
    const double left = m_margins.left();
    const double printableWidth = sheet.width() - left - m_margins.right();
    const double pageBottom = sheet.height() - m_margins.bottom();

    auto bandsOf = [&](BandKind kind) {
        std::vector<const ReportBand *> list;
        for (const auto &b : m_bands)
            if (b->kind == kind)
                list.push_back(b.get());
        return list;
    };
    const auto headers = bandsOf(BandKind::PageHeader);
    const auto titles = bandsOf(BandKind::Title);
    const auto columnHeaders = bandsOf(BandKind::ColumnHeader);
    const auto details = bandsOf(BandKind::Detail);
    const auto summaries = bandsOf(BandKind::Summary);
    const auto footers = bandsOf(BandKind::PageFooter);
    double footerSpace = 0;
    for (const ReportBand *b : footers)
        footerSpace += b->height;
    const double bodyBottom = pageBottom - footerSpace;

    double y = 0;
    bool pageHasBody = false;
    // A band spans the printable width unless it says otherwise.
    auto shoot = [&](const ReportBand *band) {
        return layoutBand(*band, band->width > 0 ? band->width : printableWidth);
    };
    auto place = [&](Shot &&shot, double at) {
        auto &page = m_pages.back();
        for (Item &item : shot.items) {
            item.p1 += QPointF(left, at);
            item.p2 += QPointF(left, at);
            page.push_back(std::move(item));
        }
    };
    auto startPage = [&] {
        m_pages.emplace_back();
        m_currentPage = int(m_pages.size());
        y = m_margins.top();
        pageHasBody = false;
        auto stack = [&](const std::vector<const ReportBand *> &list) {
            for (const ReportBand *b : list) {
                Shot s = shoot(b);
                const double h = s.height;
                place(std::move(s), y);
                y += h;
            }
        };
        stack(headers);
        if (m_currentPage == 1)
            stack(titles);
        stack(columnHeaders);
    };
    auto finishPage = [&] {
        double at = bodyBottom;
        for (const ReportBand *b : footers) {
            Shot s = shoot(b);
            const double h = s.height;
            place(std::move(s), at);
            at += h;
        }
    };
    // A band that does not fit goes to a new page, unless the page has no
    // body yet: then it would not fit anywhere and prints where it is.
    auto body = [&](const ReportBand *b) {
        Shot s = shoot(b);
        if (pageHasBody && y + s.height > bodyBottom + kEps) {
            finishPage();
            startPage();
        }
        const double h = s.height;
        place(std::move(s), y);
        y += h;
        pageHasBody = true;
    };

    startPage();
    if (m_source.eof) {
        if (m_source.first)
            m_source.first();
        while (!m_source.eof()) {
            for (const ReportBand *b : details)
                body(b);
            if (!m_source.next)
                break;
            m_source.next();
        }
    } else {
        for (const ReportBand *b : details)
            body(b);
    }
    for (const ReportBand *b : summaries)
        body(b);
    finishPage();
    return true;
}
