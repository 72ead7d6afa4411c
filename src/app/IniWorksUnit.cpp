#include "IniWorksUnit.h"

#include "Cp1251.h"
#include "KvError.h"

#include <QFile>
#include <QSaveFile>

namespace {

bool isSection(const QString &line, QString *name)
{
    const QString t = line.trimmed();
    if (t.size() < 2 || !t.startsWith(QLatin1Char('[')) || !t.endsWith(QLatin1Char(']')))
        return false;
    *name = t.mid(1, t.size() - 2).trimmed();
    return true;
}

bool isKey(const QString &line, const QString &key, QString *value)
{
    const int eq = line.indexOf(QLatin1Char('='));
    if (eq < 0 || line.trimmed().startsWith(QLatin1Char(';')))
        return false;
    if (line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) != 0)
        return false;
    *value = line.mid(eq + 1).trimmed();
    return true;
}

// Index of the key's line inside the section, or -1; *sectionEnd receives the
// line after the section's last line (-1 when the section is absent).
int findKey(const QStringList &lines, const QString &section, const QString &key, QString *value, int *sectionEnd)
{
    bool inSection = false;
    int found = -1;
    *sectionEnd = -1;
    for (int i = 0; i < lines.size(); ++i) {
        QString name;
        if (isSection(lines[i], &name)) {
            if (inSection)
                break;
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            if (inSection)
                *sectionEnd = i + 1;
            continue;
        }
        if (!inSection)
            continue;
        if (!lines[i].trimmed().isEmpty())
            *sectionEnd = i + 1;
        if (found < 0 && isKey(lines[i], key, value))
            found = i;
    }
    return found;
}

} // namespace

Tini::Tini(QString fileName) : m_fileName(std::move(fileName)) {}

QStringList Tini::load() const
{
    QFile f(m_fileName);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QString text = Cp1251::decode(f.readAll());
    text.remove(QLatin1Char('\r'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void Tini::save(const QStringList &lines) const
{
    QSaveFile f(m_fileName);
    if (!f.open(QIODevice::WriteOnly))
        throw KvError(QStringLiteral("Не удалось записать файл %1").arg(m_fileName));
    f.write(Cp1251::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
    if (!f.commit())
        throw KvError(QStringLiteral("Не удалось записать файл %1").arg(m_fileName));
}

bool Tini::valueExists(const QString &section, const QString &key) const
{
    QString value;
    int end;
    return findKey(load(), section, key, &value, &end) >= 0;
}

QString Tini::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    QString value;
    int end;
    return findKey(load(), section, key, &value, &end) >= 0 ? value : defaultValue;
}

int Tini::readInteger(const QString &section, const QString &key, int defaultValue) const
{
    const QString text = readString(section, key, QString());
    bool ok = false;
    const int v = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? text.mid(2).toInt(&ok, 16) : text.toInt(&ok);
    return ok ? v : defaultValue;
}

void Tini::writeString(const QString &section, const QString &key, const QString &value)
{
    QStringList lines = load();
    QString old;
    int end;
    const int at = findKey(lines, section, key, &old, &end);
    const QString line = key + QLatin1Char('=') + value;
    if (at >= 0) {
        lines[at] = line;
    } else if (end >= 0) {
        lines.insert(end, line);
    } else {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines.append(QString());
        lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        lines.append(line);
    }
    save(lines);
}

void Tini::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

QString IniReadStringDef(Tini &ini, const QString &section, const QString &key, const QString &defaultValue)
{
    const QString value = ini.readString(section, key, defaultValue);
    if (!ini.valueExists(section, key))
        ini.writeString(section, key, defaultValue);
    return value;
}

int IniReadIntegerDef(Tini &ini, const QString &section, const QString &key, int defaultValue)
{
    const int value = ini.readInteger(section, key, defaultValue);
    if (!ini.valueExists(section, key))
        ini.writeInteger(section, key, defaultValue);
    return value;
}

QString IniFileReadStringDef(const QString &fileName, const QString &section, const QString &key, const QString &defaultValue)
{
    Tini ini(fileName);
    return IniReadStringDef(ini, section, key, defaultValue);
}

int IniFileReadIntegerDef(const QString &fileName, const QString &section, const QString &key, int defaultValue)
{
    Tini ini(fileName);
    return IniReadIntegerDef(ini, section, key, defaultValue);
}
