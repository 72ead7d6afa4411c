#pragma once
#include <QDate>
#include <QString>
#include <QStringView>

// Amounts and dates as the bank form writes them. Pure functions: the style
// choices come in as arguments, no setting is read here.
//
// Every amount is first rounded to whole kopecks (a half to the even
// neighbour) and only then split into rubles and kopecks, so that an amount
// produced by arithmetic, such as 2.9999999, never shows 100 kopecks.
// Amounts up to 999 999 999 999.99 in absolute value are covered; for larger
// amounts, infinities and NaN the amount functions give an empty text rather
// than wrong figures.

// The texts, in the order of their numbers: entry 0 is January, the first
// day, one hundred, ten, twenty, one; the nouns are singular, few, many.
namespace WriteSum {
inline constexpr QStringView MonthNumbers[12] = {
    u"01", u"02", u"03", u"04", u"05", u"06", u"07", u"08", u"09", u"10", u"11", u"12"};
inline constexpr QStringView MonthNames[12] = {
    u"января", u"февраля", u"марта", u"апреля", u"мая", u"июня",
    u"июля", u"августа", u"сентября", u"октября", u"ноября", u"декабря"};
inline constexpr QStringView DayNumbers[31] = {
    u"01", u"02", u"03", u"04", u"05", u"06", u"07", u"08", u"09", u"10",
    u"11", u"12", u"13", u"14", u"15", u"16", u"17", u"18", u"19", u"20",
    u"21", u"22", u"23", u"24", u"25", u"26", u"27", u"28", u"29", u"30", u"31"};

inline constexpr QStringView HundredWords[9] = {
    u"сто ", u"двести ", u"триста ", u"четыреста ", u"пятьсот ",
    u"шестьсот ", u"семьсот ", u"восемьсот ", u"девятьсот "};
inline constexpr QStringView TeenWords[10] = {
    u"десять ", u"одиннадцать ", u"двенадцать ", u"тринадцать ", u"четырнадцать ",
    u"пятнадцать ", u"шестнадцать ", u"семнадцать ", u"восемнадцать ", u"девятнадцать "};
inline constexpr QStringView TenWords[8] = {
    u"двадцать ", u"тридцать ", u"сорок ", u"пятьдесят ",
    u"шестьдесят ", u"семьдесят ", u"восемьдесят ", u"девяносто "};
inline constexpr QStringView UnitWords[9] = {
    u"один ", u"два ", u"три ", u"четыре ", u"пять ",
    u"шесть ", u"семь ", u"восемь ", u"девять "};
inline constexpr QStringView FeminineUnitWords[2] = {u"одна ", u"две "};

inline constexpr QStringView RubleNouns[3] = {u"рубль ", u"рубля ", u"рублей "};
inline constexpr QStringView ThousandNouns[3] = {u"тысяча ", u"тысячи ", u"тысяч "};
inline constexpr QStringView MillionNouns[3] = {u"миллион ", u"миллиона ", u"миллионов "};
inline constexpr QStringView MilliardNouns[3] = {u"миллиард ", u"миллиарда ", u"миллиардов "};
inline constexpr QStringView KopeckNouns[3] = {u"копейка", u"копейки", u"копеек"};
}

// The rubles in lower-case words, then the kopeck tail: 1234.56 gives
// "одна тысяча двести тридцать четыре рубля 56 копеек", 0.05 gives
// "05 копеек". A negative amount gets "минус " in front.
QString SumInWords(double amount);

// The amount in words as the form prints it: capitalised, "Ноль рублей " for
// an amount under one ruble, and with wholeStyle 1 ("100=") a whole-ruble
// amount loses its "00 копеек" and keeps the trailing space.
QString SumInWordsForForm(double amount, int wholeStyle);

// separatorStyle: 0 "100-10", 1 "100.10", any other value gives an empty
// text. wholeStyle (no kopecks): 0 "100-00", 1 "100=". noRubleStyle (no
// rubles): 0 "00-50", 1 "0-50". An unknown whole or no-ruble style falls
// back to the separator form. A negative amount gets a leading "-".
QString SumInFigures(int separatorStyle, int wholeStyle, int noRubleStyle, double amount);

// format 0..7: "2.01.2014", "2.01.2014 г.", "2 января 2014", "2 января 2014 г.",
// "02.01.2014", "02.01.2014 г.", "02 января 2014", "02 января 2014 г.".
// Any other format and an invalid date give an empty text.
QString DateInText(int format, const QDate &date);

// A one-character text gets a "0" in front; any other text is unchanged.
QString TwoDigits(const QString &text);

// The first character upper-cased (Cyrillic included), the rest unchanged.
QString UpFirst(const QString &text);
