#pragma once
#include <QDateTime>
#include <functional>

// "Now" and the waits of the program go through here so that tests can fix
// the moment and skip the sleeps.
namespace Clock {
QDateTime now();
QDate today();
void setNow(const QDateTime &fixed);   // tests: freeze the clock
void reset();                          // back to the system clock

// Let pending messages be processed, sleep, and process them again.
void wait(int milliseconds);
void setWaitHook(std::function<void(int)> hook); // tests: replace the sleep

// Dates as day numbers counted from 30 December 1899, fraction = time of day.
double toDays(const QDateTime &moment);
double toDays(const QDate &date);
QDateTime fromDays(double days);

// Calendar arithmetic with the day clamped to the end of a shorter month.
QDateTime addMonthsClamped(const QDateTime &moment, int months);
QDate addMonthsClamped(const QDate &date, int months);
}
