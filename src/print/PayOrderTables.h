#pragma once
#include "PayOrderValues.h"

#include <functional>

class DbTable;

// Reads the order from the journal's table and its counterparties from the
// directory table. The journal's cursor is shared by every window, so each
// read first moves it to the order being printed; the counterparty is the
// entry whose short name equals the order's exactly.
class TablePayOrderReader : public PayOrderReader {
public:
    TablePayOrderReader(DbTable *pays, DbTable *payers, std::function<int()> recNo)
        : m_pays(pays), m_payers(payers), m_recNo(std::move(recNo)) {}
    void setTables(DbTable *pays, DbTable *payers)
    {
        m_pays = pays;
        m_payers = payers;
    }
    DbTable *pays() const { return m_pays; }
    DbTable *payers() const { return m_payers; }

    // A closed or empty journal gives an empty order, which prints a blank form.
    PayOrderRow read(int parts) override;

private:
    CounterpartyValues lookUp(const QString &shortName);

    DbTable *m_pays;
    DbTable *m_payers;
    std::function<int()> m_recNo;
};
