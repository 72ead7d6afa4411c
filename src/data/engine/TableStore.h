#pragma once
#include "DbDefs.h"

#include <QHash>
#include <QVariant>
#include <memory>

// Values of one row by field position; a null QVariant is an empty field.
using Row = QVector<QVariant>;

struct StoredRow {
    Row values;
    qint64 version = 0; // rises with every change, so that a stale edit is noticed
};

// A forward pass over the rows in an order; values are read on demand so that
// a filter that looks at one field does not pay for the others.
class RowScan {
public:
    virtual ~RowScan() = default;
    virtual bool next() = 0;
    virtual qint64 id() const = 0;
    virtual QVariant value(int field) const = 0;
};

// Where the rows of one table are kept. The cursor (DbTable) knows only this
// interface, so another backend (a database server) can stand behind it.
class TableStore {
public:
    virtual ~TableStore() = default;
    virtual const TableDef &def() const = 0;
    virtual QString path() const = 0;

    virtual QVector<qint64> orderedIds(const QStringList &order) = 0;
    virtual std::unique_ptr<RowScan> scan(const QStringList &order) = 0;
    virtual void fetch(const QVector<qint64> &ids, QHash<qint64, StoredRow> &out) = 0;
    virtual bool fetchOne(qint64 id, StoredRow &out) = 0;
    // Ids of the rows whose field equals the value (case-insensitive on request), in order.
    virtual QVector<qint64> idsWhere(int field, const QVariant &value, bool caseInsensitive, bool partial,
                                     const QStringList &order) = 0;

    virtual qint64 insert(const Row &values) = 0;
    virtual void update(qint64 id, qint64 version, const Row &values) = 0;
    virtual void remove(qint64 id) = 0;
    virtual void removeAll() = 0;

    // True when another connection changed the table since the last call.
    virtual bool changedElsewhere() = 0;

    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    virtual bool inTransaction() const = 0;
};
