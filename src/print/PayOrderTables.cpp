#include "PayOrderTables.h"

#include "DbTable.h"

namespace {
QString text(DbTable &t, const char *name) { return t.fieldByName(QLatin1String(name))->asString(); }
QDate date(DbTable &t, const char *name) { return t.fieldByName(QLatin1String(name))->asDate(); }
}

PayOrderRow TablePayOrderReader::read(int parts)
{
    PayOrderRow row;
    if (!m_pays || !m_pays->active())
        return row;
    const int count = m_pays->recordCount();
    if (count == 0)
        return row;
    // Staying put spares the journal's list a refresh for every element.
    const int target = qBound(1, m_recNo ? m_recNo() : 1, count);
    if (m_pays->state() != DbTable::Browse || m_pays->recNo() != target)
        m_pays->setRecNo(target);

    DbTable &t = *m_pays;
    PayOrderValues &o = row.order;
    DbField *num = t.fieldByName(QStringLiteral("Num"));
    if (!num->isNull())
        o.num = num->asFloat();
    o.date = date(t, "Date");
    o.sum = t.fieldByName(QStringLiteral("Sum"))->asFloat();
    o.payType = text(t, "PayType");
    o.opType = text(t, "OpType");
    o.ochPay = text(t, "OchPay");
    o.payDate = date(t, "PayDate");
    o.payer = text(t, "Payer");
    o.getter = text(t, "Getter");
    o.ndsStr = text(t, "NDSStr");
    o.cbc = text(t, "CBC");
    o.ocato = text(t, "OCATO");
    o.osnPe = text(t, "OsnPe");
    o.nper = text(t, "NPer");
    o.ptype = text(t, "PType");
    o.postDate = date(t, "PostDate");
    o.spisDate = date(t, "SpisDate");
    o.yState = text(t, "YState");
    o.dest = text(t, "Dest");
    o.pDate = date(t, "PDate");
    o.pnDoc = text(t, "PNdoc");
    o.uin = text(t, "UIN");
    o.npl = text(t, "Npl");

    if (parts & Payer)
        row.payer = lookUp(o.payer);
    if (parts & Getter)
        row.getter = lookUp(o.getter);
    return row;
}

CounterpartyValues TablePayOrderReader::lookUp(const QString &shortName)
{
    CounterpartyValues c;
    if (!m_payers || !m_payers->active())
        return c;
    DbTable &t = *m_payers;
    // The directory is normally ordered by its key; should a window have
    // left it in another order, a search by value finds the same entry.
    const bool byKey = t.indexFieldNames().compare(QLatin1String("PSName"), Qt::CaseInsensitive) == 0;
    c.found = byKey ? t.findKey({shortName}) : t.locate(QStringLiteral("PSName"), shortName);
    if (!c.found)
        return c;
    c.pName = text(t, "PName");
    c.inn = text(t, "INN");
    c.cpp = text(t, "CPP");
    c.bank = text(t, "Bank");
    c.bik = text(t, "BIK");
    c.rBill = text(t, "RBill");
    c.cBill = text(t, "CBill");
    c.noSecSign = t.fieldByName(QStringLiteral("NoSecSign"))->asBoolean();
    return c;
}
