#pragma once
#include <QColor>
#include <QFlags>
#include <QFont>
#include <QRectF>
#include <QString>

#include <functional>

// All lengths of the report layer are millimetres; points only for fonts.

struct ReportFont {
    QString family = QStringLiteral("Arial");
    double pointSize = 10;
    bool bold = false;

    QFont toQFont() const;
    bool operator==(const ReportFont &) const = default;
};

// Thin solid black lines on chosen sides of a rectangle.
struct ReportFrame {
    enum Side { Left = 0x1, Top = 0x2, Right = 0x4, Bottom = 0x8, All = 0xF };
    Q_DECLARE_FLAGS(Sides, Side)

    Sides sides;
    double width = 0.2;
};
Q_DECLARE_OPERATORS_FOR_FLAGS(ReportFrame::Sides)

struct ReportElement;

// What one element is about to print. A print hook may change any of it;
// the change holds for this print only, the element keeps its settings.
struct ElementPrint {
    const ReportElement &element;
    QString text;
    ReportFont font;
    bool enabled = true;
};

// A text box on a band. A label prints its caption, a box is a label with
// a single blank that exists for its frame lines, a data text prints what
// its value callback returns at the moment the element prints.
struct ReportElement {
    enum class Kind { Label, Box, Data };

    Kind kind = Kind::Label;
    QString name;
    QRectF rect;  // from the band's top-left corner
    QString caption;
    std::function<QString()> value;
    std::function<void(ElementPrint &)> onPrint;

    ReportFont font;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop;
    bool wordWrap = true;
    // One line; the box widens (or narrows) to the text, anchored by the alignment.
    bool autoSize = false;
    // The box grows downwards to hold all its lines, and its band grows with it.
    bool stretch = false;
    bool transparent = true;
    QColor background = Qt::white;
    ReportFrame frame;
    // A disabled element prints nothing, not even its frame.
    bool enabled = true;

    QString text() const { return kind == Kind::Data ? (value ? value() : QString()) : caption; }
};
