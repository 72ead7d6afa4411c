#pragma once
#include <QString>

// The choices of the settings dialog that the printed order follows. The
// styles are passed to SumInFigures as they are: the caller maps the
// dialog's item index of the no-ruble style onto 0 "00-50" / 1 "0-50".
struct PrintSettings {
    int dateFormat = 0;      // order date, "received by the bank", "debited"
    int payDateFormat = 0;   // payment term and the document date of field 109
    int separatorStyle = 0;  // amount in figures: 0 "100-10", 1 "100.10"
    int wholeStyle = 0;      // no kopecks: 0 "100-00", 1 "100=" (also cuts "00 копеек" from the words)
    int noRubleStyle = 0;    // no rubles: 0 "00-50", 1 "0-50"
    QString noSecondSignature = QStringLiteral("Вторая подпись не предусмотрена");
    bool sealMark = true;    // "М.П." printed
    bool smallFont = false;  // names, bank names and purpose at 8 points
};
