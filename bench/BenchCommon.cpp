#include "BenchCommon.h"

#include "DbTable.h"
#include "TableDefs.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <random>

namespace {


const char *const kPayers[] = {
    "ООО \"Ромашка\"", "АО \"Северная энергетическая компания\"", "ИП Кузнецова Мария Петровна",
    "ООО \"Торговый дом Волга\"", "ПАО \"Уральский металлургический завод\"", "ООО \"СтройИнвест-М\"",
    "МУП \"Водоканал г. Твери\"", "ООО \"Агрохолдинг Кубань\"",
};
const char *const kGetters[] = {
    "УФК по г. Москве (ИФНС России № 15 по г. Москве)", "ООО \"Канцтовары оптом\"", "АО \"Мосэнергосбыт\"",
    "ООО \"Логистический центр Восток\"", "ПАО \"Ростелеком\"", "ИП Смирнов Алексей Игоревич",
    "ООО \"Типография Печатный двор\"", "ГУ - ОПФР по Тверской области",
};
const char *const kWords[] = {
    "оплата", "по", "счёту", "за", "поставку", "канцелярских", "товаров", "согласно", "договору",
    "поставки", "услуги", "связи", "электроэнергию", "аренду", "нежилого", "помещения", "месяц",
    "налог", "на", "добавленную", "стоимость", "страховые", "взносы", "обязательное", "пенсионное",
    "страхование", "транспортные", "расходы", "ремонт", "оборудования", "обслуживание", "сопровождение",
    "программного", "обеспечения", "в", "том", "числе", "без", "НДС",
};

template <size_t N>
QString pick(const char *const (&list)[N], std::mt19937 &rng)
{
    return QString::fromUtf8(list[rng() % N]);
}

// A purpose of about 200 characters, mostly Cyrillic.
QString purpose(std::mt19937 &rng, int num, const QDate &date)
{
    QString s = QStringLiteral("Оплата по счёту № %1 от %2").arg(num).arg(date.toString(QStringLiteral("dd.MM.yyyy")));
    while (s.size() < 195)
        s += QLatin1Char(' ') + pick(kWords, rng);
    return s.left(200);
}

QString digits(std::mt19937 &rng, int count)
{
    QString s;
    s.reserve(count);
    for (int i = 0; i < count; ++i)
        s += QLatin1Char(char('0' + rng() % 10));
    return s;
}

} // namespace

namespace Bench {

const QDate kFirstDay(2022, 1, 1);

QVector<QVariant> order(std::mt19937 &rng, int num)
{
    const QDate date = kFirstDay.addDays(rng() % kDays);
    const double sum = double(rng() % 100000000) / 100.0;
    const double nds = std::round(sum * 20.0 / 120.0 * 100.0) / 100.0;
    return {
        double(num),                                               // Num
        date,                                                      // Date
        sum,                                                       // Sum
        QStringLiteral("электронно"),                              // PayType
        QStringLiteral("01"),                                      // OpType
        QString::number(1 + rng() % 5),                            // OchPay
        date.addDays(rng() % 3),                                   // PayDate
        pick(kPayers, rng),                                        // Payer
        pick(kGetters, rng),                                       // Getter
        nds,                                                       // NDS
        QStringLiteral("В т.ч. НДС 20% - %1 руб.").arg(DbField::formatFloat(nds)), // NDSStr
        digits(rng, 20),                                           // CBC
        digits(rng, 11),                                           // OCATO
        QStringLiteral("ТП"),                                      // OsnPe
        QStringLiteral("МС.%1.%2").arg(date.month(), 2, 10, QLatin1Char('0')).arg(date.year()), // NPer
        QStringLiteral("0"),                                       // PType
        date.addDays(1),                                           // PostDate
        date.addDays(2),                                           // SpisDate
        QStringLiteral("01"),                                      // YState
        purpose(rng, num, date),                                   // Dest
        date,                                                      // PDate
        double(rng() % 3),                                         // PrintCount
        bool(rng() % 2),                                           // Print
        TableDefs::newGridKey(),                                   // GridKey
        QString::number(num),                                      // PNdoc
        QVariant(),                                                // Id: numbered by the engine
        digits(rng, 20),                                           // UIN
        QStringLiteral("Платёжное поручение № %1").arg(num),       // Npl
    };
}

double ms(const QElapsedTimer &t) { return double(t.nsecsElapsed()) / 1e6; }

// Best of three runs; the work returns its own time so that set-up is left out.
double bestOf3(const std::function<double()> &run)
{
    double best = run();
    for (int i = 1; i < 3; ++i)
        best = std::min(best, run());
    return best;
}

std::unique_ptr<DbTable> openPays(const QString &folder)
{
    auto t = std::make_unique<DbTable>();
    t->setDatabaseName(folder);
    t->setTableName(QStringLiteral("PaysDB"));
    t->setIndexFieldNames(QStringLiteral("Num"));
    t->open();
    return t;
}

// Peak resident memory of the process, MB; negative where unknown.
double peakMemoryMb()
{
#ifdef Q_OS_LINUX
    QFile f(QStringLiteral("/proc/self/status"));
    if (f.open(QIODevice::ReadOnly))
        for (const QByteArray &line : f.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
#endif
    return -1;
}

const char *verdict(bool met) { return met ? "met" : "MISSED"; }


void buildPaysDB(const QString &folder, int count)
{
    std::mt19937 rng(20240317);
    std::vector<int> nums(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        nums[size_t(i)] = i + 1;
    std::shuffle(nums.begin(), nums.end(), rng);
    DbTable::createTable(folder, TableDefs::paysDB());
    auto t = openPays(folder);
    t->startTransaction();
    for (int num : nums)
        t->appendRecord(order(rng, num));
    t->commit();
}

} // namespace Bench
