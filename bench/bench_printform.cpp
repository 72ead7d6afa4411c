// The printed payment order from the database to PDF: one order (each of
// its elements moving the journal to the order and looking up the payer and
// the recipient), then 100 orders in one file.
#include "DbTable.h"
#include "PayOrderForm.h"
#include "PayOrderTables.h"
#include "TableDefs.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void fill(DbTable &t, std::initializer_list<std::pair<const char *, QVariant>> values)
{
    t.append();
    for (const auto &[name, value] : values)
        t.fieldByName(QLatin1String(name))->setValue(value);
    t.post();
}

void makeDatabase(DbTable &pays, DbTable &payers, int orders)
{
    for (int i = 0; i < 20; ++i)
        fill(payers, {{"PSName", QStringLiteral("Контрагент %1").arg(i)},
                      {"PName", QStringLiteral("Общество с ограниченной ответственностью \"Торгово-производственная "
                                               "компания номер %1\" (ООО \"ТПК-%1\")").arg(i)},
                      {"INN", QStringLiteral("77%1").arg(i, 8, 10, QLatin1Char('0'))},
                      {"CPP", i % 4 ? QStringLiteral("770101001") : QStringLiteral("00")},
                      {"Bank", QStringLiteral("ПАО Сбербанк г. Москва, отделение %1").arg(i)},
                      {"BIK", QStringLiteral("0445252%1").arg(i, 2, 10, QLatin1Char('0'))},
                      {"RBill", QStringLiteral("407028109000000000%1").arg(i, 2, 10, QLatin1Char('0'))},
                      {"CBill", QStringLiteral("30101810400000000225")}, {"NoSecSign", i % 3 == 0}});
    pays.startTransaction();
    for (int i = 0; i < orders; ++i)
        fill(pays, {{"Num", 1000 + i}, {"Date", QDate(2024, 3, 1).addDays(i % 28)}, {"Sum", 12345.67 * (i + 1)},
                    {"PayType", QStringLiteral("электронно")}, {"OpType", QStringLiteral("01")},
                    {"OchPay", QStringLiteral("5")}, {"Payer", QStringLiteral("Контрагент %1").arg(i % 20)},
                    {"Getter", QStringLiteral("Контрагент %1").arg((i + 7) % 20)},
                    {"NDSStr", QStringLiteral("В т.ч. НДС 20% - 2057-61")}, {"CBC", QStringLiteral("18210102010011000110")},
                    {"OCATO", QStringLiteral("45286555")}, {"OsnPe", QStringLiteral("ТП")},
                    {"NPer", i % 2 ? QStringLiteral("МС.03.2024") : QStringLiteral("0 .  .")},
                    {"PType", QStringLiteral("1")}, {"YState", QStringLiteral("01")},
                    {"Dest", QStringLiteral("Оплата по договору поставки № %1 от 01.03.2024 за канцелярские товары "
                                            "согласно счёту № %2 и товарной накладной").arg(i).arg(i + 500)},
                    {"PDate", QDate(2000, 12, 12)}, {"PNdoc", QString::number(i)},
                    {"UIN", QStringLiteral("1234567890123456789012345")}, {"Npl", QStringLiteral("1")},
                    {"GridKey", TableDefs::newGridKey()}});
    pays.commit();
}

template <typename F>
double msOf(F &&f)
{
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    for (const TableDef &d : TableDefs::all())
        DbTable::createTable(dir.path(), d);
    DbTable pays, payers;
    for (auto [t, name, index] : {std::tuple{&pays, "PaysDB", "Num"}, std::tuple{&payers, "PayerDB", "PSName"}}) {
        t->setDatabaseName(dir.path());
        t->setTableName(QLatin1String(name));
        t->setIndexFieldNames(QLatin1String(index));
        t->open();
    }
    const int orders = 100;
    makeDatabase(pays, payers, orders);

    int recNo = 1;
    TablePayOrderReader reader(&pays, &payers, [&] { return recNo; });
    Report report;
    PayForm::build(report, reader, [] {
        PrintSettings s;
        s.smallFont = true;
        return s;
    });

    const QString one = dir.filePath(QStringLiteral("one.pdf"));
    report.exportPdf(one);  // warm the font caches
    std::vector<double> runs;
    for (int i = 0; i < 30; ++i) {
        recNo = 1 + i % orders;
        runs.push_back(msOf([&] { report.exportPdf(one); }));
    }
    std::sort(runs.begin(), runs.end());
    const double median = runs[runs.size() / 2];
    std::printf("one order to PDF: %.2f ms (median of %zu, best %.2f; target <= 50 ms a page)\n", median, runs.size(),
                runs.front());

    std::vector<double> prepares;
    const double total = msOf([&] {
        QPdfWriter writer(dir.filePath(QStringLiteral("orders.pdf")));
        writer.setResolution(1200);
        writer.setPageLayout(report.pageLayout());
        QPainter painter(&writer);
        for (recNo = 1; recNo <= orders; ++recNo) {
            prepares.push_back(msOf([&] { report.prepare(); }));
            if (recNo > 1)
                writer.newPage();
            report.renderPage(painter, 0);
        }
    });
    double prepared = 0;
    for (double p : prepares)
        prepared += p;
    std::printf("%d orders in one PDF: %.1f ms total, %.2f ms a page (reading and laying out %.2f ms a page)\n",
                orders, total, total / orders, prepared / orders);
    return median <= 50 && total / orders <= 50 ? 0 : 1;
}
