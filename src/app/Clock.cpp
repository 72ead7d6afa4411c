#include "Clock.h"

#include <QCoreApplication>
#include <QThread>
#include <cmath>
#include <optional>

namespace {
std::optional<QDateTime> g_fixed;
std::function<void(int)> g_waitHook;
const QDate kEpoch(1899, 12, 30);
}

namespace Clock {

QDateTime now() { return g_fixed ? *g_fixed : QDateTime::currentDateTime(); }
QDate today() { return now().date(); }
void setNow(const QDateTime &fixed) { g_fixed = fixed; }
void reset() { g_fixed.reset(); }

void wait(int milliseconds)
{
    if (g_waitHook) {
        g_waitHook(milliseconds);
        return;
    }
    QCoreApplication::processEvents();
    QThread::msleep(static_cast<unsigned long>(milliseconds));
    QCoreApplication::processEvents();
}

void setWaitHook(std::function<void(int)> hook) { g_waitHook = std::move(hook); }

double toDays(const QDate &date) { return static_cast<double>(kEpoch.daysTo(date)); }

double toDays(const QDateTime &moment)
{
    const double day = toDays(moment.date());
    const double frac = moment.time().msecsSinceStartOfDay() / 86400000.0;
    // Before the epoch the fraction counts away from zero, as in the day numbers we read.
    return day >= 0 ? day + frac : day - frac;
}

QDateTime fromDays(double days)
{
    const double whole = std::trunc(days);
    const double frac = std::fabs(days - whole);
    const QDate date = kEpoch.addDays(static_cast<qint64>(whole));
    int ms = static_cast<int>(std::llround(frac * 86400000.0));
    if (ms >= 86400000)
        ms = 86400000 - 1;
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(ms));
}

QDate addMonthsClamped(const QDate &date, int months)
{
    // QDate::addMonths already clamps the day to the month's last day.
    return date.addMonths(months);
}

QDateTime addMonthsClamped(const QDateTime &moment, int months)
{
    return QDateTime(addMonthsClamped(moment.date(), months), moment.time());
}

}
