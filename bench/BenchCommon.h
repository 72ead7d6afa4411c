#pragma once
// What the benchmarks share: realistic payment orders, timing, memory.
#include <QDate>
#include <QElapsedTimer>
#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>
#include <random>

class DbTable;

namespace Bench {
// The orders' dates spread over three years from this day.
extern const QDate kFirstDay;
inline constexpr int kDays = 3 * 365;
// One order with every field filled, a purpose of about 200 characters.
QVector<QVariant> order(std::mt19937 &rng, int num);
// A PaysDB.DB of `count` orders (numbers in shuffled order), one transaction.
void buildPaysDB(const QString &folder, int count);
std::unique_ptr<DbTable> openPays(const QString &folder);
double ms(const QElapsedTimer &t);
// Best of three runs; the work returns its own time so that set-up is left out.
double bestOf3(const std::function<double()> &run);
// Peak resident memory of the process, MB; negative where unknown.
double peakMemoryMb();
const char *verdict(bool met);
}
