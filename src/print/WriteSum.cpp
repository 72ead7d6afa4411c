#include "WriteSum.h"

#include <cmath>
#include <cstdint>

using namespace WriteSum;

namespace {

// An amount as whole kopecks, split once for every function here.
struct Split {
    bool valid = false;
    bool negative = false;
    std::int64_t rubles = 0;
    int kopecks = 0;
};

constexpr double KopeckLimit = 1e14; // 10^12 rubles

Split split(double amount)
{
    Split s;
    if (!std::isfinite(amount))
        return s;
    // Round the whole amount to kopecks before splitting: rounding only the
    // fraction would turn 2.9999999 into 2 rubles 100 kopecks.
    const double scaled = std::fabs(amount) * 100.0;
    double whole = std::floor(scaled);
    const double rest = scaled - whole;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    if (whole >= KopeckLimit)
        return s;
    const auto total = static_cast<std::int64_t>(whole);
    s.valid = true;
    s.negative = amount < 0 && total != 0; // -0.001 is plain zero
    s.rubles = total / 100;
    s.kopecks = static_cast<int>(total % 100);
    return s;
}

// singular for 1, "few" for 2-4, "many" otherwise (0, 5-9 and 11-19)
int nounForm(int lastTwoDigits)
{
    const int tens = lastTwoDigits % 100 / 10;
    const int units = lastTwoDigits % 10;
    if (tens == 1)
        return 2;
    if (units == 1)
        return 0;
    if (units >= 2 && units <= 4)
        return 1;
    return 2;
}

void appendTwoDigits(QString &out, int value)
{
    out += QChar(char16_t(u'0' + value / 10));
    out += QChar(char16_t(u'0' + value % 10));
}

// The ruble part in words, from the highest non-zero group down; nothing
// for zero rubles.
void appendRubleWords(QString &out, std::int64_t rubles)
{
    if (rubles == 0)
        return;
    // Group 3 milliards, 2 millions, 1 thousands, 0 rubles.
    static constexpr const QStringView *Nouns[4] = {RubleNouns, ThousandNouns, MillionNouns,
                                                    MilliardNouns};
    static constexpr std::int64_t Divisors[4] = {1, 1000, 1000000, 1000000000};
    int group = 3;
    while (rubles / Divisors[group] == 0)
        --group;
    for (; group >= 0; --group) {
        const int g = static_cast<int>(rubles / Divisors[group] % 1000);
        // A zero group above the rubles is left out entirely: 1000005 is
        // "один миллион пять рублей", 10^9 is "один миллиард рублей".
        if (g == 0 && group > 0)
            continue;
        if (g >= 100)
            out += HundredWords[g / 100 - 1];
        const int lastTwo = g % 100;
        if (lastTwo >= 10 && lastTwo <= 19) {
            out += TeenWords[lastTwo - 10];
        } else {
            if (lastTwo >= 20)
                out += TenWords[lastTwo / 10 - 2];
            const int u = lastTwo % 10;
            if (group == 1 && (u == 1 || u == 2))
                out += FeminineUnitWords[u - 1];
            else if (u > 0)
                out += UnitWords[u - 1];
        }
        out += Nouns[group][nounForm(lastTwo)];
    }
}

void appendKopeckTail(QString &out, int kopecks)
{
    appendTwoDigits(out, kopecks);
    out += u' ';
    out += KopeckNouns[nounForm(kopecks)];
}

} // namespace

QString SumInWords(double amount)
{
    const Split s = split(amount);
    if (!s.valid)
        return {};
    QString out;
    out.reserve(160);
    if (s.negative)
        out += u"минус ";
    appendRubleWords(out, s.rubles);
    appendKopeckTail(out, s.kopecks);
    return out;
}

QString SumInWordsForForm(double amount, int wholeStyle)
{
    const Split s = split(amount);
    if (!s.valid)
        return {};
    QString out;
    out.reserve(160);
    if (s.negative)
        out += u"минус ";
    if (s.rubles == 0)
        out += u"ноль рублей ";
    else
        appendRubleWords(out, s.rubles);
    // With "100=" the words of a whole-ruble amount stop after the noun,
    // trailing space included.
    if (!(wholeStyle == 1 && s.kopecks == 0))
        appendKopeckTail(out, s.kopecks);
    return UpFirst(out);
}

QString SumInFigures(int separatorStyle, int wholeStyle, int noRubleStyle, double amount)
{
    const Split s = split(amount);
    if (!s.valid)
        return {};
    QString out;
    out.reserve(24);
    if (s.negative)
        out += u'-';
    const qsizetype signLength = out.size();
    const QString rubles = QString::number(s.rubles);
    if (s.kopecks == 0 && s.rubles != 0 && (wholeStyle == 0 || wholeStyle == 1)) {
        // The whole-ruble form ignores the separator style.
        out += rubles;
        out += wholeStyle == 0 ? QStringView(u"-00") : QStringView(u"=");
    } else if (s.kopecks != 0 && s.rubles == 0 && (noRubleStyle == 0 || noRubleStyle == 1)) {
        // So does the no-ruble form: always "-". Value 0 is the two-zero form.
        out += noRubleStyle == 0 ? QStringView(u"00-") : QStringView(u"0-");
        appendTwoDigits(out, s.kopecks);
    } else if (separatorStyle == 0 || separatorStyle == 1) {
        out += rubles;
        out += separatorStyle == 0 ? u'-' : u'.';
        appendTwoDigits(out, s.kopecks);
    }
    if (out.size() == signLength)
        return {}; // no style applied: no lone "-"
    return out;
}

QString DateInText(int format, const QDate &date)
{
    if (format < 0 || format > 7 || !date.isValid())
        return {};
    const int day = date.day();
    const int month = date.month();
    const bool twoDigitDay = format >= 4;
    const bool monthName = format % 4 >= 2;
    const bool suffix = format % 2 == 1;

    QString out;
    out.reserve(24);
    if (twoDigitDay)
        out += DayNumbers[day - 1];
    else
        out += QString::number(day);
    if (monthName) {
        out += u' ';
        out += MonthNames[month - 1];
        out += u' ';
    } else {
        out += u'.';
        out += MonthNumbers[month - 1];
        out += u'.';
    }
    out += QString::number(date.year());
    if (suffix)
        out += u" г.";
    return out;
}

QString TwoDigits(const QString &text)
{
    if (text.size() == 1)
        return QLatin1Char('0') + text;
    return text;
}

QString UpFirst(const QString &text)
{
    if (text.isEmpty())
        return text;
    QString out = text;
    out[0] = out[0].toUpper(); // one-to-one mapping, like the code page's
    return out;
}
