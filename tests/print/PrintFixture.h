#pragma once
#include "DbTable.h"
#include "PayOrderValues.h"
#include "TableDefs.h"

#include <QFile>
#include <QProcess>
#include <QRectF>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <utility>

// A database folder with the three empty tables.
struct TempDatabase {
    QTemporaryDir dir;
    TempDatabase()
    {
        for (const TableDef &d : TableDefs::all())
            DbTable::createTable(dir.path(), d);
    }
    void open(DbTable &t, const QString &name, const QString &index) const
    {
        t.setDatabaseName(dir.path());
        t.setTableName(name);
        t.setIndexFieldNames(index);
        t.open();
    }
};

using Values = std::initializer_list<std::pair<const char *, QVariant>>;

inline void appendRow(DbTable &t, Values values)
{
    t.append();
    for (const auto &[name, value] : values)
        t.fieldByName(QLatin1String(name))->setValue(value);
    t.post();
}

// A payer and a recipient in the directory and an order between them.
inline void addCounterparties(DbTable &payers)
{
    appendRow(payers, {{"PSName", QStringLiteral("Ромашка")},
                       {"PName", QStringLiteral("Общество с ограниченной ответственностью \"Ромашка\"")},
                       {"INN", QStringLiteral("7701234567")}, {"CPP", QStringLiteral("770101001")},
                       {"Bank", QStringLiteral("ПАО Сбербанк г. Москва")}, {"BIK", QStringLiteral("044525225")},
                       {"RBill", QStringLiteral("40702810900000000001")},
                       {"CBill", QStringLiteral("30101810400000000225")}, {"NoSecSign", true}});
    appendRow(payers, {{"PSName", QStringLiteral("УФК")}, {"PName", QStringLiteral("УФК по г. Москве")},
                       {"INN", QStringLiteral("7702345678")}, {"CPP", QStringLiteral("00")},
                       {"Bank", QStringLiteral("ГУ Банка России по ЦФО")}, {"BIK", QStringLiteral("004525988")},
                       {"RBill", QStringLiteral("03100643000000017300")},
                       {"CBill", QStringLiteral("40102810545370000003")}});
}

inline void addOrder(DbTable &pays, double num, double sum, const QString &payer = QStringLiteral("Ромашка"))
{
    appendRow(pays, {{"Num", num}, {"Date", QDate(2024, 3, 5)}, {"Sum", sum}, {"Payer", payer},
                     {"Getter", QStringLiteral("УФК")}, {"OpType", QStringLiteral("01")},
                     {"Dest", QStringLiteral("Оплата по счёту %1").arg(num)},
                     {"GridKey", TableDefs::newGridKey()}});
}

// The words of a PDF's first page with their boxes in mm, as pdftotext -bbox reads them.
struct PdfWord {
    QString text;
    QRectF rect;
};

inline bool havePdfToText() { return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(); }

inline QList<PdfWord> pdfWords(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-l"), QStringLiteral("1"), path,
                                          QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    const double mm = 25.4 / 72;
    QList<PdfWord> words;
    QXmlStreamReader xml(p.readAllStandardOutput());
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("word"))
            continue;
        const auto a = xml.attributes();
        auto num = [&](const char *name) { return a.value(QLatin1String(name)).toDouble() * mm; };
        const QRectF r(QPointF(num("xMin"), num("yMin")), QPointF(num("xMax"), num("yMax")));
        words.append({xml.readElementText(), r});
    }
    return words;
}

// The pages of a PDF file as pdfinfo counts them; 0 when it cannot read it.
inline int pdfPageCount(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {path});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return 0;
    for (const QByteArray &line : p.readAllStandardOutput().split('\n'))
        if (line.startsWith("Pages:"))
            return line.mid(6).trimmed().toInt();
    return 0;
}
