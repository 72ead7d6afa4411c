#include "TableDefs.h"

#include <QRandomGenerator>

namespace {
FieldDef text(const char *name, int size) { return FieldDef{QString::fromLatin1(name), FieldType::String, size, false, {}, {}}; }
FieldDef of(const char *name, FieldType type) { return FieldDef{QString::fromLatin1(name), type, 0, false, {}, {}}; }
}

namespace TableDefs {

TableDef paysDB()
{
    TableDef d;
    d.name = QStringLiteral("PaysDB");
    FieldDef sum = of("Sum", FieldType::Float);
    sum.displayFormat = QStringLiteral("#0.00");
    FieldDef nper = text("NPer", 10);
    nper.editMask = QStringLiteral("aa.##.####");
    d.fields = {of("Num", FieldType::Float), of("Date", FieldType::Date), sum, text("PayType", 25),
                text("OpType", 3), text("OchPay", 3), of("PayDate", FieldType::Date), text("Payer", 40),
                text("Getter", 40), of("NDS", FieldType::Float), text("NDSStr", 80), text("CBC", 20),
                text("OCATO", 20), text("OsnPe", 2), nper, text("PType", 2),
                of("PostDate", FieldType::Date), of("SpisDate", FieldType::Date), text("YState", 2),
                of("Dest", FieldType::Memo), of("PDate", FieldType::Date), of("PrintCount", FieldType::Float),
                of("Print", FieldType::Boolean), text("GridKey", 25), text("PNdoc", 15),
                of("Id", FieldType::AutoInc), text("UIN", 30), text("Npl", 30)};
    // Two users may give the same number and a copied order has the same
    // content as its source, so only the random GridKey identifies an order.
    d.indexes = {{QStringLiteral("ByGridKey"), {QStringLiteral("GridKey")}, true, true},
                 {QStringLiteral("ByNum"), {QStringLiteral("Num")}, false, false},
                 {QStringLiteral("ByPayer"), {QStringLiteral("Payer")}, false, false},
                 {QStringLiteral("ByGetter"), {QStringLiteral("Getter")}, false, false}};
    return d;
}

TableDef payerDB()
{
    TableDef d;
    d.name = QStringLiteral("PayerDB");
    FieldDef psname = text("PSName", 40);
    psname.required = true;
    d.fields = {psname, of("PName", FieldType::Memo), text("INN", 25), text("CPP", 25), text("Bank", 250),
                text("BIK", 20), text("RBill", 20), text("CBill", 20), of("NoSecSign", FieldType::Boolean)};
    d.primaryKey = {QStringLiteral("PSName")};
    return d;
}

TableDef bank()
{
    TableDef d;
    d.name = QStringLiteral("bank");
    d.fields = {text("BIK", 20), text("CBill", 20), text("BANK", 215)};
    d.primaryKey = {QStringLiteral("BANK")};
    d.indexes = {{QStringLiteral("ByBIK"), {QStringLiteral("BIK")}, false, false}};
    return d;
}

QVector<TableDef> all() { return {bank(), payerDB(), paysDB()}; }

static QRandomGenerator &generator()
{
    static QRandomGenerator g(QRandomGenerator::global()->generate());
    return g;
}

void seedRandom(quint32 seed) { generator().seed(seed); }

QString newGridKey()
{
    static const char kChars[] = "ABCDEFGHIJKLMNoPQRSTUVWXYZ0123456789";
    QString key;
    key.reserve(25);
    for (int i = 0; i < 25; ++i)
        key.append(QLatin1Char(kChars[generator().bounded(36)]));
    return key;
}
}
