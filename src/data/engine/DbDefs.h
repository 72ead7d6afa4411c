#pragma once
#include <QString>
#include <QStringList>
#include <QVector>

// Table definitions: what a table holds, from which an empty table file is made.
enum class FieldType {
    String,   // text of at most `size` characters
    Memo,     // long text, kept in the row
    Float,    // double-precision number
    Integer,  // 32-bit integer
    AutoInc,  // integer numbered by the engine, read-only
    Date,     // calendar date without time
    DateTime, // date and time of day
    Boolean,
};

struct FieldDef {
    QString name;
    FieldType type = FieldType::String;
    int size = 0; // characters, for String
    bool required = false;
    QString displayFormat; // e.g. "#0.00"
    QString editMask;      // e.g. "aa.##.####"
};

struct IndexDef {
    QString name;
    QStringList fields;
    bool unique = false;
    bool ignoreEmpty = false; // unique only among rows where the first field is not empty
};

struct TableDef {
    QString name;
    QVector<FieldDef> fields;
    QStringList primaryKey; // unique; duplicates are refused with "Key violation."
    QVector<IndexDef> indexes;

    int indexOf(const QString &field) const
    {
        for (int i = 0; i < fields.size(); ++i)
            if (fields[i].name.compare(field, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }
};
