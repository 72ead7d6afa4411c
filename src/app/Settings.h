#pragma once
#include <QDateTime>
#include <QString>
#include <QVector>

// Every persistent setting of the program: its name, type and default.
namespace Settings {

enum class Type { String, Integer, Boolean, Date };

struct Def {
    const char *name;
    Type type;
    bool dialog; // one of the twelve values the settings dialog holds
};

inline constexpr const char *DataBasePath = "DataBasePath";
inline constexpr const char *UserName = "UserName";
inline constexpr const char *DateFormatSelect = "DateFormatSelect";
inline constexpr const char *PayDateFormatSelect = "PayDateFormatSelect";
inline constexpr const char *FrmSumRubAndKopCombo = "FrmSumRubAndKopCombo";
inline constexpr const char *SumWithKopSelect = "SumWithKopSelect";
inline constexpr const char *SumWithRubSelect = "SumWithRubSelect";
inline constexpr const char *NoNDSEdit = "NoNDSEdit";
inline constexpr const char *NoSecondSignature = "NoSecondSignature";
inline constexpr const char *CheckBoxMP = "CheckBoxMP";
inline constexpr const char *CheckBoxLittleFont = "CheckBoxLittleFont";
inline constexpr const char *EditPayNextNumber = "EditPayNextNumber";
inline constexpr const char *PayTableViewMode = "PayTableViewMode";
inline constexpr const char *UpdateFlag = "UpdateFlag";
inline constexpr const char *BCopyCnt = "BCopyCnt";
inline constexpr const char *BnkSprVer = "BnkSprVer";
inline constexpr const char *BnkSprDate = "BnkSprDate";
inline constexpr const char *ReeSDate = "ReeSDate";
inline constexpr const char *ReeEDate = "ReeEDate";
inline constexpr const char *EraseSDate = "EraseSDate";
inline constexpr const char *EraseEDate = "EraseEDate";

// All 21, in the order of the settings table.
const QVector<Def> &all();

// Defaults. Text, number and Boolean defaults are fixed; the four dates are
// counted from the "today" of the clock.
QString defaultString(const char *name);
int defaultInteger(const char *name);
bool defaultBool(const char *name);
double defaultDate(const char *name);

// The default as a value of the setting's own type (tests, documentation).
QVariant defaultValue(const char *name);

// The name as the store's helpers take it.
inline QString key(const char *name) { return QString::fromLatin1(name); }
// A setting read from the store with its default from the table above.
QString readString(const char *name);
int readInteger(const char *name);
bool readBool(const char *name);
}
