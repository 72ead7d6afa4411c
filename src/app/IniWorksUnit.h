#pragma once
#include <QString>
#include <QStringList>

// An ini file read and written on disk at every call, in the Windows-1251
// code page; section and key names are compared without regard to case.
class Tini {
public:
    explicit Tini(QString fileName);
    const QString &fileName() const { return m_fileName; }

    bool valueExists(const QString &section, const QString &key) const;
    QString readString(const QString &section, const QString &key, const QString &defaultValue) const;
    int readInteger(const QString &section, const QString &key, int defaultValue) const;
    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);

private:
    QStringList load() const;
    void save(const QStringList &lines) const;
    QString m_fileName;
};

// Read a value with a default; a missing key is written into the file with
// that default, so the file afterwards holds it.
QString IniReadStringDef(Tini &ini, const QString &section, const QString &key, const QString &defaultValue);
int IniReadIntegerDef(Tini &ini, const QString &section, const QString &key, int defaultValue);
QString IniFileReadStringDef(const QString &fileName, const QString &section, const QString &key, const QString &defaultValue);
int IniFileReadIntegerDef(const QString &fileName, const QString &section, const QString &key, int defaultValue);
