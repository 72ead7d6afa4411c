#pragma once
#include "PayOrderValues.h"

// Orders of the rendering tests: a plain one, one with every field filled
// and the longest texts, one with only what an order must have.
inline PayOrderRow baseRow()
{
    PayOrderRow r;
    PayOrderValues &o = r.order;
    o.num = 123;
    o.date = QDate(2024, 3, 5);
    o.sum = 1234.56;
    o.payType = QStringLiteral("электронно");
    o.opType = QStringLiteral("01");
    o.ochPay = QStringLiteral("5");
    o.payDate = QDate(2024, 3, 7);
    o.payer = QStringLiteral("Ромашка");
    o.getter = QStringLiteral("УФК");
    o.ndsStr = QStringLiteral("В т.ч. НДС 20% - 205-76");
    o.cbc = QStringLiteral("18210102010011000110");
    o.ocato = QStringLiteral("45286555");
    o.osnPe = QStringLiteral("ТП");
    o.nper = QStringLiteral("МС.03.2024");
    o.ptype = QStringLiteral("1");
    o.postDate = QDate(2024, 3, 6);
    o.spisDate = QDate(2024, 3, 8);
    o.yState = QStringLiteral("02");
    o.dest = QStringLiteral("Оплата по счёту № 15");
    o.pDate = QDate(2024, 3, 1);
    o.pnDoc = QStringLiteral("15");
    o.uin = QStringLiteral("0");
    o.npl = QStringLiteral("2");
    r.payer = {true, QStringLiteral("ООО \"Ромашка\""), QStringLiteral("7701234567"), QStringLiteral("770101001"),
               QStringLiteral("ПАО Сбербанк г. Москва"), QStringLiteral("044525225"),
               QStringLiteral("40702810900000000001"), QStringLiteral("30101810400000000225"), false};
    r.getter = {true, QStringLiteral("УФК по г. Москве"), QStringLiteral("7702345678"), QStringLiteral("770201001"),
                QStringLiteral("ГУ Банка России"), QStringLiteral("004525988"),
                QStringLiteral("03100643000000017300"), QStringLiteral("40102810545370000003"), false};
    return r;
}

// Every field filled, long names, a 25-character UIN, a 20-character INN, a "00" KPP.
inline PayOrderRow fullRow()
{
    PayOrderRow r = baseRow();
    r.order.sum = 987654321.99;
    r.order.uin = QStringLiteral("1234567890123456789012345");
    r.order.dest = QStringLiteral(
        "Оплата по договору поставки № 17/2024-ОП от 01.03.2024 за канцелярские товары, бумагу офисную, "
        "картриджи и расходные материалы для оргтехники согласно счёту № 1548 от 04.03.2024 и товарной "
        "накладной № 902 от 05.03.2024, а также доставку до склада покупателя");
    r.order.ndsStr = QStringLiteral("В т.ч. НДС 20% - 164609053-67");
    r.order.payType = QStringLiteral("электронно");
    r.order.yState = QStringLiteral("01");
    r.order.nper = QStringLiteral("КВ.01.2024");
    r.order.pnDoc = QStringLiteral("ТР0000000123456");
    r.order.osnPe = QStringLiteral("ЗД");
    r.order.ochPay = QStringLiteral("5");
    r.order.npl = QStringLiteral("1");
    r.payer.pName = QStringLiteral(
        "Общество с ограниченной ответственностью \"Торгово-производственная компания Северо-Западный "
        "промышленный холдинг Ромашка и партнёры\" (ООО \"ТПК СЗПХ\")");
    r.payer.inn = QStringLiteral("12345678901234567890");
    r.payer.cpp = QStringLiteral("00");
    r.payer.bank = QStringLiteral(
        "Северо-Западный банк публичного акционерного общества \"Сбербанк России\" г. Санкт-Петербург");
    r.payer.noSecSign = true;
    r.getter.pName = QStringLiteral(
        "УФК по г. Москве (Инспекция Федеральной налоговой службы № 15 по г. Москве, л/с 04731234560) "
        "для перечисления налогов и сборов");
    r.getter.inn = QStringLiteral("7715123456");
    r.getter.bank = QStringLiteral(
        "ГУ Банка России по ЦФО//УФК по г. Москве г. Москва (Главное управление Центрального банка)");
    return r;
}

// Only what an order must have.
inline PayOrderRow sparseRow()
{
    PayOrderRow r;
    r.order.num = 7;
    r.order.date = QDate(2024, 3, 5);
    r.order.sum = 100;
    r.order.payer = QStringLiteral("Ромашка");
    r.order.getter = QStringLiteral("Иванов");
    r.order.opType = QStringLiteral("01");
    r.payer = baseRow().payer;
    r.getter.found = true;
    r.getter.pName = QStringLiteral("Иванов Иван Иванович");
    return r;
}

