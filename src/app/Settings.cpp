#include "Settings.h"

#include "Clock.h"
#include "RegWorksUnit.h"

#include <QVariant>
#include <cstring>

namespace Settings {

const QVector<Def> &all()
{
    static const QVector<Def> defs = {
        {DataBasePath, Type::String, true},
        {UserName, Type::String, true},
        {DateFormatSelect, Type::Integer, true},
        {PayDateFormatSelect, Type::Integer, true},
        {FrmSumRubAndKopCombo, Type::Integer, true},
        {SumWithKopSelect, Type::Integer, true},
        {SumWithRubSelect, Type::Integer, true},
        {NoNDSEdit, Type::String, true},
        {NoSecondSignature, Type::String, true},
        {CheckBoxMP, Type::Boolean, true},
        {CheckBoxLittleFont, Type::Boolean, true},
        {EditPayNextNumber, Type::Integer, true},
        {PayTableViewMode, Type::Integer, false},
        {UpdateFlag, Type::String, false},
        {BCopyCnt, Type::Integer, false},
        {BnkSprVer, Type::Integer, false},
        {BnkSprDate, Type::String, false},
        {ReeSDate, Type::Date, false},
        {ReeEDate, Type::Date, false},
        {EraseSDate, Type::Date, false},
        {EraseEDate, Type::Date, false},
    };
    return defs;
}

static bool is(const char *a, const char *b) { return std::strcmp(a, b) == 0; }

QString defaultString(const char *name)
{
    if (is(name, DataBasePath))
        return QStringLiteral("DATABASE\\");
    if (is(name, UserName))
        return QStringLiteral("User1");
    if (is(name, NoNDSEdit))
        return QStringLiteral("НДС не облагается.");
    if (is(name, NoSecondSignature))
        return QStringLiteral("Вторая подпись не предусмотрена");
    if (is(name, UpdateFlag))
        return QStringLiteral("0");
    if (is(name, BnkSprDate))
        return QStringLiteral(" - - ");
    return QString();
}

int defaultInteger(const char *name)
{
    if (is(name, EditPayNextNumber))
        return 1;
    return 0; // the formats, view mode, backup count and bank version
}

bool defaultBool(const char *name) { return is(name, CheckBoxMP); }

double defaultDate(const char *name)
{
    const QDate today = Clock::today();
    if (is(name, ReeSDate))
        return Clock::toDays(Clock::addMonthsClamped(today, -1));
    if (is(name, EraseSDate))
        return Clock::toDays(Clock::addMonthsClamped(today, -24));
    if (is(name, EraseEDate))
        return Clock::toDays(Clock::addMonthsClamped(today, -12));
    return Clock::toDays(today); // ReeEDate
}

QString readString(const char *name) { return RegReadString(key(name), defaultString(name)); }
int readInteger(const char *name) { return RegReadInteger(key(name), defaultInteger(name)); }
bool readBool(const char *name) { return RegReadBool(key(name), defaultBool(name)); }

QVariant defaultValue(const char *name)
{
    for (const Def &d : all()) {
        if (!is(d.name, name))
            continue;
        switch (d.type) {
        case Type::String: return defaultString(name);
        case Type::Integer: return defaultInteger(name);
        case Type::Boolean: return defaultBool(name);
        case Type::Date: return defaultDate(name);
        }
    }
    return {};
}
}
