#pragma once
#include "PayOrderValues.h"
#include "PrintSettings.h"
#include "report/Report.h"

#include <QStringView>

#include <functional>
#include <span>

// The payment order on the bank form 0401060: the layout of the sheet as
// data, the rule by which each element prints, and the report built of both.

// What an element prints; None for the fixed labels and the boxes.
enum class PayFormRule {
    None,
    Num, Date, PayType, YState, SumWords, SumFigures,
    PayerName, PayerInn, PayerKppCaption, PayerKpp, PayerRBill, PayerBik, PayerCBill, PayerBank,
    GetterName, GetterInn, GetterKppCaption, GetterKpp, GetterRBill, GetterBik, GetterCBill, GetterBank,
    OpType, Npl, Uin, OchPay, PayDate, PostDate, SpisDate,
    Cbc, Ocato, OsnPe, NPer, PNDoc, DocDate, PType,
    Purpose, SecondSignature, SealMark,
};

struct PayFormElement {
    QStringView name;
    ReportElement::Kind kind;
    QStringView caption;
    double x, y, w, h;  // mm from the sheet's top-left corner
    double pointSize;
    bool bold;
    bool centred;       // otherwise left-aligned
    QStringView lines;  // frame sides among "TBLR"
    PayFormRule rule;

    QRectF sheetRect() const { return {x, y, w, h}; }
    // The parts of the order the rule reads (PayOrderReader::Part), 0 for none.
    int reads() const;
};

namespace PayForm {
// The page: A4 portrait, margins left 20, top 10, right 10, bottom 10 mm;
// one page-header band at the margins holds every element.
inline constexpr double LeftMargin = 20, TopMargin = 10, RightMargin = 10, BottomMargin = 10;
inline constexpr double HeaderHeight = 214.3, HeaderWidth = 180.2, DetailHeight = 10.6;

// Every element of the sheet, top to bottom.
std::span<const PayFormElement> layout();
const PayFormElement *element(QStringView name);

// The date that stands for "0" in the document date of field 109.
inline const QDate ZeroDocumentDate{2000, 12, 12};

// What an element prints for an order: its text, its font size and whether
// it prints at all.
struct Output {
    QString text;
    double pointSize = 10;
    bool enabled = true;
};
Output print(const PayFormElement &element, const PayOrderRow &row, const PrintSettings &settings);
Output print(QStringView element, const PayOrderRow &row, const PrintSettings &settings);

// Fills an empty report with the page, the bands and the elements. Each
// element with a rule reads the reader when it prints; the settings are
// asked for once at the start of every run.
void build(Report &report, PayOrderReader &reader, std::function<PrintSettings()> settings);
}
