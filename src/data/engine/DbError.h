#pragma once
#include "KvError.h"

// A failure of the table engine, carrying the engine's message.
class DbError : public KvError {
public:
    enum Kind { General, KeyViolation, Busy, Conflict, NotATable, Required, Locked };
    DbError(Kind kind, QString message) : KvError(std::move(message)), m_kind(kind) {}
    explicit DbError(QString message) : DbError(General, std::move(message)) {}
    Kind kind() const { return m_kind; }

    // The text callers compare with to recognise a duplicate key.
    static QString keyViolationText() { return QStringLiteral("Key violation."); }

private:
    Kind m_kind;
};
