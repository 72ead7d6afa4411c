#pragma once
#include <QByteArray>
#include <QString>

// The Windows-1251 code page of the program's exchange files. Our own table,
// so that the conversion does not depend on the codecs a Qt build carries.
namespace Cp1251 {
QString decode(const QByteArray &bytes);
QByteArray encode(const QString &text); // characters outside the page become '?'
}
