#pragma once
#include "report/ReportElement.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPointF>
#include <QSizeF>

#include <memory>
#include <vector>

class QImage;
class QPaintDevice;
class QPainter;

enum class BandKind {
    PageHeader,    // top of every page; a one-page form puts everything here
    Title,         // once, on the first page below the page header
    ColumnHeader,  // every page, above the details
    Detail,        // once per record
    Summary,       // once, after the last record
    PageFooter,    // bottom of every page
};

struct ReportBand {
    explicit ReportBand(BandKind kind, double height) : kind(kind), height(height) {}

    BandKind kind;
    double height;       // grows by as much as its tallest stretching element
    double width = 0;    // 0: the printable width of the page
    QColor background;   // invalid: none
    ReportFrame frame;
    std::vector<std::unique_ptr<ReportElement>> elements;

    ReportElement &addLabel(const QString &name, const QRectF &rect, const QString &caption);
    ReportElement &addBox(const QString &name, const QRectF &rect, ReportFrame::Sides sides);
    ReportElement &addData(const QString &name, const QRectF &rect, std::function<QString()> value);
};

// Walks the records the detail bands print; the data callbacks read the
// current one. Without a source the detail bands print once.
struct RecordSource {
    std::function<void()> first;
    std::function<void()> next;
    std::function<bool()> eof;
};

// A banded report. prepare() runs the hooks and lays the pages out in
// millimetres; the prepared pages then draw the same on every device.
class Report {
public:
    Report();
    ~Report();
    Report(const Report &) = delete;
    Report &operator=(const Report &) = delete;

    // Margins left, top, right, bottom. Bands start at the left and top margins.
    void setPage(const QPageSize &size, QPageLayout::Orientation orientation, const QMarginsF &margins);
    QPageSize pageSize() const { return m_pageSize; }
    QPageLayout::Orientation orientation() const { return m_orientation; }
    QMarginsF margins() const { return m_margins; }
    QSizeF sheetSize() const;  // as oriented
    // The layout a paged device needs: the whole sheet, since the report
    // keeps its own margins.
    QPageLayout pageLayout() const;

    void setTitle(const QString &title) { m_title = title; }
    QString title() const { return m_title; }

    ReportBand &addBand(BandKind kind, double height);
    const std::vector<std::unique_ptr<ReportBand>> &bands() const { return m_bands; }
    ReportElement *element(const QString &name) const;

    // Runs first on every prepare; returning false cancels the run.
    void setBeforePrint(std::function<bool(Report &)> hook) { m_beforePrint = std::move(hook); }
    void setRecordSource(RecordSource source) { m_source = std::move(source); }

    // False when the before-print hook cancelled; there are no pages then.
    bool prepare();
    int pageCount() const { return int(m_pages.size()); }
    // The page being laid out, from 1; for page numbers in the callbacks.
    int currentPage() const { return m_currentPage; }

    // Prepares and draws every page. A QPdfWriter or QPrinter gets the
    // report's page layout; any other device gets the first page only.
    bool render(QPaintDevice *device);
    // Draws a prepared page with the painter's origin at the sheet's corner,
    // at the resolution of the painter's device.
    void renderPage(QPainter &painter, int pageIndex) const;
    QImage pageImage(int pageIndex, int dpi) const;
    bool exportPdf(const QString &path);

    // A drawing step of a prepared page, in millimetres from the sheet's corner.
    struct Item {
        enum class Type { Fill, Line, Text };
        Type type;
        QPointF p1, p2;  // Fill: corners; Line: ends; Text: baseline start
        QColor color;
        double width = 0;
        QString text;
        ReportFont font;
    };

private:
    struct Shot;
    Shot layoutBand(const ReportBand &band, double width) const;

    QPageSize m_pageSize;
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
    QMarginsF m_margins;
    QString m_title;
    std::vector<std::unique_ptr<ReportBand>> m_bands;
    std::function<bool(Report &)> m_beforePrint;
    RecordSource m_source;
    std::vector<std::vector<Item>> m_pages;
    int m_currentPage = 0;
};
