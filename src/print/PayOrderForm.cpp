#include "PayOrderForm.h"

#include "WriteSum.h"

#include <QPageSize>

#include <cmath>
#include <memory>
#include <vector>

namespace {

using K = ReportElement::Kind;
using R = PayFormRule;

// Name, kind, caption, X, Y, W, H, points, bold, centred, frame sides, rule.
constexpr PayFormElement kLayout[] = {
    {u"PostDateText", K::Data, u"", 20.3, 10.3, 34.9, 4.5, 10, false, true, u"", R::PostDate},
    {u"SpisDateText", K::Data, u"", 71.1, 10.3, 34.9, 4.5, 10, false, true, u"", R::SpisDate},
    {u"QRLabel3", K::Box, u" ", 179.0, 10.8, 20.1, 5.8, 10, false, true, u"TBLR", R::None},
    {u"QRLabel73", K::Label, u"0401060", 182.2, 11.6, 14.0, 4.5, 10, false, false, u"", R::None},
    {u"QRLabel1", K::Label, u"Поступ. в банк плат.", 20.0, 15.0, 34.9, 4.5, 7, false, true, u"T", R::None},
    {u"QRLabel2", K::Label, u"Списано со сч. плат.", 70.8, 15.0, 34.9, 4.5, 7, false, true, u"T", R::None},
    {u"QRLabel6", K::Box, u" ", 185.4, 25.9, 7.7, 7.9, 7, false, true, u"TBLR", R::None},
    {u"QRLabel57", K::Label, u"ПЛАТЕЖНОЕ ПОРУЧЕНИЕ №", 20.8, 27.5, 48.7, 4.5, 10, true, false, u"", R::None},
    {u"NumText", K::Data, u"", 75.3, 27.5, 26.2, 4.5, 10, false, false, u"", R::Num},
    {u"DateText", K::Data, u"", 105.7, 27.5, 36.0, 4.5, 10, false, true, u"", R::Date},
    {u"PayTypeText", K::Data, u"", 144.1, 27.5, 35.2, 4.5, 10, false, true, u"", R::PayType},
    {u"YStateText", K::Data, u"", 186.2, 27.5, 6.1, 4.5, 10, false, true, u"", R::YState},
    {u"QRLabel4", K::Label, u"Дата", 106.3, 32.2, 34.9, 4.5, 7, false, true, u"T", R::None},
    {u"QRLabel5", K::Label, u"Вид платежа", 144.4, 32.2, 34.9, 4.5, 7, false, true, u"T", R::None},
    {u"QRLabel7", K::Box, u" ", 20.3, 38.3, 20.4, 14.8, 11, false, false, u"BR", R::None},
    {u"QRLabel8", K::Box, u" ", 40.4, 38.3, 159.5, 14.8, 11, false, false, u"B", R::None},
    {u"QRLabel9", K::Label, u"Сумма прописью", 21.6, 41.0, 17.2, 9.5, 10, false, false, u"", R::None},
    {u"SumPropText", K::Data, u"", 42.2, 41.0, 154.8, 9.5, 10, false, false, u"", R::SumWords},
    {u"QRLabel10", K::Box, u" ", 20.0, 52.9, 49.5, 5.0, 10, false, false, u"", R::None},
    {u"QRLabel11", K::Box, u" ", 69.5, 52.9, 50.8, 5.0, 10, false, false, u"L", R::None},
    {u"QRLabel13", K::Box, u" ", 120.0, 52.9, 14.6, 14.3, 10, false, false, u"BLR", R::None},
    {u"QRLabel12", K::Box, u" ", 134.6, 52.9, 64.8, 14.3, 10, false, false, u"B", R::None},
    {u"QRLabel54", K::Label, u"ИНН", 20.8, 53.1, 9.8, 4.5, 10, false, false, u"", R::None},
    {u"PayerINNText", K::Data, u"", 31.1, 53.1, 37.8, 4.5, 10, false, false, u"", R::PayerInn},
    {u"KPPpayerLabel", K::Label, u"КПП", 70.8, 53.1, 9.8, 4.5, 10, false, false, u"", R::PayerKppCaption},
    {u"QRDBText4", K::Data, u"", 81.6, 53.1, 37.6, 4.5, 10, false, false, u"", R::PayerKpp},
    {u"SumText", K::Data, u"", 136.4, 53.1, 50.5, 4.5, 10, false, false, u"", R::SumFigures},
    {u"QRLabel56", K::Label, u"Сумма", 121.1, 53.4, 11.9, 4.5, 10, false, false, u"", R::None},
    {u"QRLabel14", K::Box, u" ", 20.3, 57.6, 100.3, 23.5, 10, false, false, u"TB", R::None},
    {u"PayerPnameText", K::Data, u"", 21.3, 58.2, 98.2, 18.0, 10, false, false, u"", R::PayerName},
    {u"QRLabel16", K::Box, u" ", 120.0, 66.1, 14.3, 15.3, 10, false, false, u"BL", R::None},
    {u"QRLabel15", K::Box, u" ", 134.3, 67.2, 65.6, 30.7, 10, false, false, u"L", R::None},
    {u"QRLabel58", K::Label, u"Счет №", 120.8, 67.4, 12.7, 4.5, 10, false, false, u"", R::None},
    {u"PayerRBillText", K::Data, u"", 136.4, 67.4, 62.2, 4.5, 10, false, false, u"", R::PayerRBill},
    {u"QRLabel46", K::Label, u"Плательщик", 20.0, 76.1, 37.3, 4.5, 10, false, false, u"", R::None},
    {u"QRLabel17", K::Box, u" ", 20.3, 80.9, 100.3, 16.9, 10, false, false, u"", R::None},
    {u"PayerBankText", K::Data, u"", 21.3, 81.2, 98.2, 11.4, 10, false, false, u"", R::PayerBank},
    {u"QRLabel18", K::Box, u" ", 120.0, 81.4, 14.3, 6.3, 10, false, false, u"L", R::None},
    {u"PayerBIKText", K::Data, u"", 136.4, 82.0, 62.2, 4.5, 10, false, false, u"", R::PayerBik},
    {u"QRLabel59", K::Label, u"БИК", 120.8, 82.2, 12.7, 4.5, 10, false, false, u"", R::None},
    {u"QRLabel19", K::Box, u" ", 120.0, 87.5, 14.3, 10.1, 10, false, false, u"TBL", R::None},
    {u"QRLabel60", K::Label, u"Счет №", 120.8, 88.6, 12.7, 4.5, 10, false, false, u"", R::None},
    {u"PayerCBillText", K::Data, u"", 136.4, 88.6, 62.2, 4.5, 10, false, false, u"", R::PayerCBill},
    {u"QRLabel47", K::Label, u"Банк плательщика", 20.0, 92.0, 37.3, 4.5, 10, false, false, u"", R::None},
    {u"QRLabel20", K::Box, u" ", 20.3, 97.3, 100.3, 16.4, 10, false, false, u"TBR", R::None},
    {u"QRLabel21", K::Box, u" ", 134.3, 97.3, 65.6, 29.6, 10, false, false, u"TBL", R::None},
    {u"QRLabel22", K::Box, u" ", 120.3, 97.6, 14.6, 6.6, 10, false, false, u"", R::None},
    {u"GetterBankText", K::Data, u"", 21.3, 97.8, 98.2, 10.6, 10, false, false, u"", R::GetterBank},
    {u"QRLabel61", K::Label, u"БИК", 120.8, 98.4, 12.7, 4.5, 10, false, false, u"", R::None},
    {u"GetterBikText", K::Data, u"", 136.4, 98.6, 62.2, 4.5, 10, false, false, u"", R::GetterBik},
    {u"QRLabel23", K::Box, u" ", 120.5, 103.7, 14.0, 10.1, 10, false, false, u"T", R::None},
    {u"QRLabel62", K::Label, u"Счет №", 120.8, 104.7, 12.7, 4.5, 10, false, false, u"", R::None},
    {u"GetterCBillText", K::Data, u"", 136.4, 105.0, 62.2, 4.5, 10, false, false, u"", R::GetterCBill},
    {u"QRLabel48", K::Label, u"Банк получателя", 20.0, 107.9, 37.3, 4.5, 10, false, false, u"", R::None},
    {u"QRLabel26", K::Box, u" ", 120.3, 113.5, 14.3, 13.5, 10, false, false, u"TB", R::None},
    {u"QRLabel24", K::Box, u" ", 20.0, 113.7, 49.7, 5.0, 10, false, false, u"", R::None},
    {u"QRLabel25", K::Box, u" ", 69.7, 113.7, 50.5, 5.0, 10, false, false, u"LR", R::None},
    {u"GetterRBillText", K::Data, u"", 136.4, 113.7, 62.2, 4.5, 10, false, false, u"", R::GetterRBill},
    {u"QRLabel65", K::Label, u"ИНН", 20.8, 114.0, 9.8, 4.5, 10, false, false, u"", R::None},
    {u"GetterINNText", K::Data, u"", 31.1, 114.0, 38.1, 4.5, 10, false, false, u"", R::GetterInn},
    {u"KPPGetterLabel", K::Label, u"КПП", 70.8, 114.0, 9.8, 4.5, 10, false, false, u"", R::GetterKppCaption},
    {u"GetterCPPText", K::Data, u"", 81.1, 114.0, 38.1, 4.5, 10, false, false, u"", R::GetterKpp},
    {u"QRLabel63", K::Label, u"Счет №", 120.8, 114.0, 12.7, 4.5, 10, false, false, u"", R::None},
    {u"QRLabel27", K::Box, u" ", 20.3, 118.5, 100.3, 24.6, 10, false, false, u"TBR", R::None},
    {u"GetterPNameText", K::Data, u"", 21.3, 119.3, 98.2, 18.3, 10, false, false, u"", R::GetterName},
    {u"QRLabel28", K::Box, u" ", 120.3, 126.7, 14.6, 5.0, 10, false, false, u"B", R::None},
    {u"QRLabel66", K::Label, u"Вид оп.", 120.8, 126.7, 12.7, 4.5, 10, false, false, u"", R::None},
    {u"OpTypeText", K::Data, u"", 135.1, 126.7, 16.7, 4.5, 10, false, false, u"", R::OpType},
    {u"QRLabel32", K::Box, u" ", 154.1, 126.7, 20.6, 5.8, 10, false, false, u"B", R::None},
    {u"QRLabel31", K::Box, u" ", 134.3, 126.9, 19.8, 16.4, 10, false, false, u"BLR", R::None},
    {u"QRLabel35", K::Box, u" ", 174.5, 126.9, 25.4, 16.4, 10, false, false, u"BL", R::None},
    {u"PayDateText", K::Data, u"", 175.8, 127.2, 23.3, 4.5, 10, false, false, u"", R::PayDate},
    {u"QRLabel69", K::Label, u"Срок плат.", 154.9, 127.5, 18.8, 4.5, 10, false, false, u"", R::None},
    {u"QRDBTextNpl", K::Data, u"", 135.1, 131.2, 16.7, 4.5, 10, false, false, u"", R::Npl},
    {u"QRLabel29", K::Box, u" ", 120.3, 131.4, 14.6, 5.0, 10, false, false, u"B", R::None},
    {u"QRLabel67", K::Label, u"Наз. пл.", 120.8, 131.4, 13.0, 4.5, 10, false, false, u"", R::None},
    {u"QRLabel33", K::Box, u" ", 154.1, 132.2, 20.6, 5.8, 10, false, false, u"B", R::None},
    {u"QRLabel70", K::Label, u"Очер. плат.", 154.9, 132.8, 18.8, 4.5, 10, false, false, u"", R::None},
    {u"OchPayText", K::Data, u"", 175.8, 133.0, 16.7, 4.5, 10, false, false, u"", R::OchPay},
    {u"QRLabel68", K::Label, u"Код", 120.8, 136.2, 12.7, 6.1, 10, false, false, u"", R::None},
    {u"QRDBTextUin", K::Data, u"", 135.1, 136.2, 18.3, 8.2, 10, false, false, u"", R::Uin},
    {u"QRLabel72", K::Label, u"Получатель", 20.0, 137.5, 37.3, 4.5, 10, false, false, u"", R::None},
    {u"QRLabel30", K::Box, u" ", 120.3, 137.8, 14.6, 5.6, 10, false, false, u"B", R::None},
    {u"QRLabel34", K::Box, u" ", 154.1, 137.8, 20.6, 5.6, 10, false, false, u"B", R::None},
    {u"QRLabel71", K::Label, u"Рез. поле", 154.9, 138.1, 18.8, 4.5, 10, false, false, u"", R::None},
    {u"QRLabel36", K::Box, u" ", 20.0, 143.1, 44.7, 5.0, 10, false, false, u"R", R::None},
    {u"QRLabel37", K::Box, u" ", 64.5, 143.1, 32.0, 5.0, 10, false, false, u"R", R::None},
    {u"QRLabel38", K::Box, u" ", 96.2, 143.1, 10.8, 5.0, 10, false, false, u"R", R::None},
    {u"QRLabel39", K::Box, u" ", 106.8, 143.1, 25.7, 5.0, 10, false, false, u"R", R::None},
    {u"QRLabel40", K::Box, u" ", 132.2, 143.1, 34.9, 5.0, 10, false, false, u"R", R::None},
    {u"QRLabel41", K::Box, u" ", 166.6, 143.1, 24.9, 5.0, 10, false, false, u"R", R::None},
    {u"QRLabel42", K::Box, u" ", 191.2, 143.1, 8.7, 5.0, 10, false, false, u"", R::None},
    {u"CBCText", K::Data, u"", 21.3, 143.3, 42.6, 4.5, 10, false, true, u"", R::Cbc},
    {u"OCATOText", K::Data, u"", 65.2, 143.3, 30.2, 4.5, 10, false, true, u"", R::Ocato},
    {u"OsnPeText", K::Data, u"", 97.0, 143.3, 9.0, 4.5, 10, false, true, u"", R::OsnPe},
    {u"NperText", K::Data, u"", 107.6, 143.3, 23.8, 4.5, 10, false, true, u"", R::NPer},
    {u"PNDoc", K::Data, u"", 133.0, 143.3, 33.3, 4.5, 10, false, true, u"", R::PNDoc},
    {u"QRLabel74", K::Data, u"", 167.4, 143.3, 23.3, 4.5, 10, false, true, u"", R::DocDate},
    {u"PTypeText", K::Data, u"", 191.7, 143.3, 7.9, 4.5, 10, false, true, u"", R::PType},
    {u"QRLabel43", K::Box, u" ", 20.3, 147.8, 179.7, 32.5, 10, false, false, u"TB", R::None},
    {u"QRLabel49", K::Data, u"", 20.5, 148.6, 178.6, 25.4, 10, false, false, u"", R::Purpose},
    {u"QRLabel50", K::Label, u"Назначение платежа", 20.5, 174.0, 37.3, 4.5, 10, false, false, u"", R::None},
    {u"QRLabel51", K::Label, u"Подписи", 88.8, 182.0, 37.3, 4.5, 10, false, true, u"", R::None},
    {u"QRLabel52", K::Label, u"Отметки банка", 149.6, 182.0, 37.3, 4.5, 10, false, true, u"", R::None},
    {u"QRLabel44", K::Box, u" ", 79.3, 190.7, 61.6, 5.0, 10, false, false, u"B", R::None},
    {u"QRLabel53", K::Label, u"М.П.", 38.5, 195.2, 13.5, 4.5, 10, false, true, u"", R::SealMark},
    {u"SecondSignature", K::Data, u"", 79.3, 205.5, 61.9, 4.5, 10, false, true, u"B", R::SecondSignature},
};

bool isPayerRule(R r)
{
    switch (r) {
    case R::PayerName: case R::PayerInn: case R::PayerKppCaption: case R::PayerKpp:
    case R::PayerRBill: case R::PayerBik: case R::PayerCBill: case R::PayerBank:
    case R::SecondSignature:
        return true;
    default:
        return false;
    }
}

bool isGetterRule(R r)
{
    switch (r) {
    case R::GetterName: case R::GetterInn: case R::GetterKppCaption: case R::GetterKpp:
    case R::GetterRBill: case R::GetterBik: case R::GetterCBill: case R::GetterBank:
        return true;
    default:
        return false;
    }
}

// The long texts that the small-font setting shrinks.
bool followsSmallFont(R r)
{
    return r == R::PayerName || r == R::PayerBank || r == R::GetterName || r == R::GetterBank || r == R::Purpose;
}

double smallFontSize(const PrintSettings &s) { return s.smallFont ? 8 : 10; }

QString numberText(const std::optional<double> &v)
{
    if (!v)
        return {};
    QString s = QString::number(*v, 'g', 15);
    if (s.contains(QLatin1Char('e')))
        s = QString::number(*v, 'f', 2);
    return s.replace(QLatin1Char('.'), QLatin1Char(','));
}

// An empty date prints nothing; the engine's zero day counts as empty, so
// that an old row never shows 30.12.1899.
bool isEmptyDate(const QDate &d) { return !d.isValid() || d == QDate(1899, 12, 30); }

QString dateText(int format, const QDate &d) { return isEmptyDate(d) ? QString() : DateInText(format, d); }

QString documentDateText(int format, const QDate &d)
{
    if (isEmptyDate(d))
        return QStringLiteral(" ");
    if (d == PayForm::ZeroDocumentDate)
        return QStringLiteral("0");
    return DateInText(format, d);
}

// The masked tax period given only "0" or nothing.
QString taxPeriodText(const QString &stored)
{
    QString t = stored;
    while (t.endsWith(QLatin1Char(' ')))
        t.chop(1);
    if (t == QLatin1String("0 .  ."))
        return QStringLiteral("0");
    if (t == QLatin1String("  .  ."))
        return QStringLiteral(" ");
    return stored;
}

// INNs of 20 characters and more do not fit their cell at 10 points.
double innSize(const QString &inn) { return inn.size() <= 19 ? 10 : 8; }

QString kppText(const QString &cpp) { return cpp == QLatin1String("00") ? QString() : cpp; }

// The blanks let the word wrap break a long code inside its narrow box.
void uinRule(QString t, PayForm::Output &out)
{
    out.pointSize = 10;
    if (t.size() > 11) {
        out.pointSize = 8;
        t = t.left(11) + QLatin1Char(' ') + t.mid(11);
    }
    if (t.size() > 22) {
        out.pointSize = 6;
        t = t.left(17) + QLatin1Char(' ') + t.mid(17);
    }
    out.text = t;
}

} // namespace

int PayFormElement::reads() const
{
    if (rule == R::None || rule == R::SealMark)
        return 0;
    if (isPayerRule(rule))
        return PayOrderReader::Order | PayOrderReader::Payer;
    if (isGetterRule(rule))
        return PayOrderReader::Order | PayOrderReader::Getter;
    return PayOrderReader::Order;
}

namespace PayForm {

std::span<const PayFormElement> layout() { return kLayout; }

const PayFormElement *element(QStringView name)
{
    for (const PayFormElement &e : kLayout)
        if (e.name == name)
            return &e;
    return nullptr;
}

Output print(const PayFormElement &e, const PayOrderRow &row, const PrintSettings &s)
{
    Output out{e.caption.toString(), e.pointSize, true};
    const PayOrderValues &o = row.order;
    const CounterpartyValues &payer = row.payer;
    const CounterpartyValues &getter = row.getter;
    // A directory cell of a counterparty missing from the directory prints
    // the short name the order names it by.
    auto ofPayer = [&](const QString &v) { return payer.found ? v : o.payer; };
    auto ofGetter = [&](const QString &v) { return getter.found ? v : o.getter; };
    if (followsSmallFont(e.rule))
        out.pointSize = smallFontSize(s);

    switch (e.rule) {
    case R::None: break;
    case R::Num: out.text = numberText(o.num); break;
    case R::Date: out.text = dateText(s.dateFormat, o.date); break;
    case R::PayType: out.text = o.payType; break;
    case R::YState: out.text = o.yState; break;
    case R::SumWords: out.text = SumInWordsForForm(o.sum, s.wholeStyle); break;
    case R::SumFigures: out.text = SumInFigures(s.separatorStyle, s.wholeStyle, s.noRubleStyle, o.sum); break;

    case R::PayerName: out.text = ofPayer(payer.pName); break;
    case R::PayerInn:
        out.text = ofPayer(payer.inn);
        out.pointSize = innSize(out.text);
        break;
    case R::PayerKppCaption:
        if (payer.found && payer.cpp == QLatin1String("00"))
            out.text.clear();
        break;
    case R::PayerKpp: out.text = payer.found ? kppText(payer.cpp) : o.payer; break;
    case R::PayerRBill: out.text = ofPayer(payer.rBill); break;
    case R::PayerBik: out.text = ofPayer(payer.bik); break;
    case R::PayerCBill: out.text = ofPayer(payer.cBill); break;
    case R::PayerBank: out.text = ofPayer(payer.bank); break;

    case R::GetterName: out.text = ofGetter(getter.pName); break;
    case R::GetterInn:
        out.text = ofGetter(getter.inn);
        out.pointSize = innSize(out.text);
        break;
    case R::GetterKppCaption:
        if (getter.found && getter.cpp == QLatin1String("00"))
            out.text.clear();
        break;
    case R::GetterKpp: out.text = getter.found ? kppText(getter.cpp) : o.getter; break;
    case R::GetterRBill: out.text = ofGetter(getter.rBill); break;
    case R::GetterBik: out.text = ofGetter(getter.bik); break;
    case R::GetterCBill: out.text = ofGetter(getter.cBill); break;
    case R::GetterBank: out.text = ofGetter(getter.bank); break;

    case R::OpType: out.text = o.opType; break;
    case R::Npl: out.text = o.npl; break;
    case R::Uin: uinRule(o.uin, out); break;
    case R::OchPay: out.text = o.ochPay; break;
    case R::PayDate: out.text = dateText(s.payDateFormat, o.payDate); break;
    case R::PostDate: out.text = dateText(s.dateFormat, o.postDate); break;
    case R::SpisDate: out.text = dateText(s.dateFormat, o.spisDate); break;
    case R::Cbc: out.text = o.cbc; break;
    case R::Ocato: out.text = o.ocato; break;
    case R::OsnPe: out.text = o.osnPe; break;
    case R::NPer: out.text = taxPeriodText(o.nper); break;
    case R::PNDoc: out.text = o.pnDoc; break;
    case R::DocDate: out.text = documentDateText(s.payDateFormat, o.pDate); break;
    case R::PType: out.text = o.ptype; break;
    case R::Purpose: out.text = o.dest + QStringLiteral("\r\n") + o.ndsStr; break;
    case R::SecondSignature:
        out.text = !payer.found ? o.payer : payer.noSecSign ? s.noSecondSignature : QString();
        break;
    case R::SealMark: out.enabled = s.sealMark; break;
    }
    return out;
}

Output print(QStringView name, const PayOrderRow &row, const PrintSettings &settings)
{
    const PayFormElement *e = element(name);
    return e ? print(*e, row, settings) : Output{{}, 10, false};
}

void build(Report &report, PayOrderReader &reader, std::function<PrintSettings()> settings)
{
    report.setPage(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                   QMarginsF(LeftMargin, TopMargin, RightMargin, BottomMargin));
    report.setTitle(QStringLiteral("Платежное поручение"));
    ReportBand &band = report.addBand(BandKind::PageHeader, HeaderHeight);
    band.width = HeaderWidth;
    report.addBand(BandKind::Detail, DetailHeight);

    // The settings of the run in progress, shared by the hooks.
    auto current = std::make_shared<PrintSettings>();
    std::vector<std::pair<ReportElement *, R>> followers;
    for (const PayFormElement &e : kLayout) {
        const QRectF rect = e.sheetRect().translated(-LeftMargin, -TopMargin);
        const QString name = e.name.toString();
        ReportFrame::Sides sides;
        for (QChar c : e.lines)
            sides |= c == u'T' ? ReportFrame::Top : c == u'B' ? ReportFrame::Bottom
                   : c == u'L' ? ReportFrame::Left : ReportFrame::Right;
        ReportElement *el = nullptr;
        switch (e.kind) {
        case K::Box: el = &band.addBox(name, rect, sides); break;
        case K::Label: el = &band.addLabel(name, rect, e.caption.toString()); break;
        case K::Data: el = &band.addData(name, rect, {}); break;
        }
        el->frame.sides = sides;
        el->font.pointSize = e.pointSize;
        el->font.bold = e.bold;
        // The bold title sizes itself to its text.
        el->autoSize = e.bold;
        // A caption in a box one line high would lose the tail that the
        // word wrap puts on a second line ("Наз. пл." just fills its box).
        const double lineHeight = e.pointSize * 1.15 * 25.4 / 72;
        if (e.kind == K::Label && e.h < 2 * lineHeight)
            el->wordWrap = false;
        el->alignment = (e.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop;
        if (e.rule == R::SealMark || followsSmallFont(e.rule))
            followers.emplace_back(el, e.rule);
        if (e.rule != R::None && e.rule != R::SealMark) {
            el->onPrint = [&e, &reader, current](ElementPrint &p) {
                const Output out = print(e, reader.read(e.reads()), *current);
                p.text = out.text;
                p.font.pointSize = out.pointSize;
                p.enabled = out.enabled;
            };
        }
    }

    // PayRepBeforePrint: the seal mark and the small font follow the settings.
    report.setBeforePrint([current, followers, settings = std::move(settings)](Report &) {
        *current = settings ? settings() : PrintSettings();
        for (const auto &[el, rule] : followers) {
            if (rule == R::SealMark)
                el->enabled = current->sealMark;
            else
                el->font.pointSize = smallFontSize(*current);
        }
        return true;
    });
}

} // namespace PayForm
