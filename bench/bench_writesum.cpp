// Amount in words plus amount in figures over one million amounts; a
// register of 10,000 orders must not wait on them.
#include "WriteSum.h"

#include <QElapsedTimer>
#include <QList>

#include <cstdint>
#include <cstdio>

namespace {

constexpr int Count = 1000000;
constexpr double Target = 1e6; // amounts per second

QList<double> amounts()
{
    // Fixed pseudo-random kopeck counts, from kopecks to a billion rubles,
    // with every magnitude about equally often.
    QList<double> list;
    list.reserve(Count);
    std::uint64_t state = 0x2545F4914F6CDD1DULL;
    for (int i = 0; i < Count; ++i) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        const int digits = 1 + int((state >> 59) % 11); // 1..11 digits of kopecks
        std::uint64_t limit = 1;
        for (int d = 0; d < digits; ++d)
            limit *= 10;
        const std::uint64_t kopecks = (state >> 16) % limit;
        list.append(double(kopecks) / 100.0);
    }
    return list;
}

template <typename F>
double rate(const QList<double> &list, F work, qint64 *sink)
{
    QElapsedTimer timer;
    timer.start();
    for (const double a : list)
        *sink += work(a);
    const qint64 ns = qMax<qint64>(timer.nsecsElapsed(), 1);
    return double(list.size()) * 1e9 / double(ns);
}

}

int main()
{
    const QList<double> list = amounts();
    qint64 sink = 0;

    // Reference in the same run: plain fixed-point formatting of the amount.
    const double reference = rate(list, [](double a) { return QString::number(a, 'f', 2).size(); }, &sink);
    const double measured = rate(list, [](double a) {
        return SumInWords(a).size() + SumInFigures(0, 0, 0, a).size();
    }, &sink);

    std::printf("SumInWords + SumInFigures: %d amounts, %.0f amounts/s\n", Count, measured);
    std::printf("reference QString::number(a, 'f', 2): %.0f amounts/s (ratio %.2f)\n", reference,
                measured / reference);
    std::printf("target > %.0f amounts/s: %s\n", Target, measured > Target ? "met" : "NOT met");
    std::printf("(checksum %lld)\n", static_cast<long long>(sink));
    return 0;
}
