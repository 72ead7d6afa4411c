#pragma once
#include <QDate>
#include <QString>

#include <optional>

// What the printed order reads: the order's row and the directory entries
// of its payer and its recipient.
struct PayOrderValues {
    std::optional<double> num;
    QDate date;  // invalid: empty
    double sum = 0;
    QString payType, opType, ochPay;
    QDate payDate;
    QString payer, getter;  // short names, the keys of the directory
    QString ndsStr, cbc, ocato, osnPe, nper, ptype;
    QDate postDate, spisDate;
    QString yState, dest;
    QDate pDate;
    QString pnDoc, uin, npl;
};

struct CounterpartyValues {
    bool found = false;  // false: no directory entry has the order's short name
    QString pName, inn, cpp, bank, bik, rBill, cBill;
    bool noSecSign = false;
};

struct PayOrderRow {
    PayOrderValues order;
    CounterpartyValues payer, getter;
};

// Where the form reads its order from. Every element reads afresh when it
// prints, asking only for the parts it needs.
class PayOrderReader {
public:
    enum Part { Order = 0x1, Payer = 0x2, Getter = 0x4 };
    virtual ~PayOrderReader() = default;
    // The order is always filled; the counterparties only when asked for.
    virtual PayOrderRow read(int parts) = 0;
};

// An order held in memory.
class FixedPayOrderReader : public PayOrderReader {
public:
    PayOrderRow row;
    int reads = 0;
    PayOrderRow read(int) override
    {
        ++reads;
        return row;
    }
};
