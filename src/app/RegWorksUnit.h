#pragma once
#include <QString>

// The per-user settings key Software\Tarvik\Ziz. Each helper opens the store,
// does one read or write and closes it again: nothing is cached, so a value
// written is seen by the next read. A missing value gives the default and is
// not written back; a value stored with another type makes the read fail
// with KvError.
QString RegReadString(const QString &name, const QString &defaultValue);
void RegWriteString(const QString &name, const QString &value);
int RegReadInteger(const QString &name, int defaultValue);
void RegWriteInteger(const QString &name, int value);
bool RegReadBool(const QString &name, bool defaultValue);
void RegWriteBool(const QString &name, bool value);
double RegReadFloat(const QString &name, double defaultValue);
void RegWriteFloat(const QString &name, double value);

namespace RegStore {
// Tests (and a portable run) keep the settings in an ini file of the given
// folder instead of the native store. An empty folder restores the native one.
void redirectTo(const QString &folder);
QString redirectedFolder();
// Where the values live, for the README and the About box.
QString location();
// Removes a value (tests).
void remove(const QString &name);
// Writes a raw text value regardless of the setting's type (tests: wrong types).
void writeRawText(const QString &name, const QString &text);
}
