#include "RegWorksUnit.h"

#include "KvError.h"

#include <QDir>
#include <QSettings>
#include <cstring>
#include <memory>
#include <optional>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace {

QString g_redirect;

// What the store holds under a name, with the type it was stored as.
struct Stored {
    enum Kind { Text, Number, Binary, Other } kind = Other;
    QString text;
    qint64 number = 0;
    QByteArray bytes;
    bool typed = true; // false: the store keeps text only (ini files)
};

QString typeError(const QString &name)
{
    return QStringLiteral("Неверный тип данных параметра «%1» в настройках программы").arg(name);
}

QString writeError(const QString &name)
{
    return QStringLiteral("Не удалось записать параметр «%1» в настройки программы").arg(name);
}

// ---- Ini-backed store (Linux, macOS, tests) ---------------------------------

std::unique_ptr<QSettings> openSettings()
{
    if (!g_redirect.isEmpty())
        return std::make_unique<QSettings>(QDir(g_redirect).filePath(QStringLiteral("Ziz.ini")), QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Tarvik"), QStringLiteral("Ziz"));
}

bool nativeRegistry()
{
#ifdef Q_OS_WIN
    return g_redirect.isEmpty();
#else
    return false;
#endif
}

#ifdef Q_OS_WIN
const wchar_t *kKey = L"Software\\Tarvik\\Ziz";

std::optional<Stored> winRead(const QString &name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    const std::wstring wname = name.toStdWString();
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, wname.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        RegCloseKey(key);
        return std::nullopt;
    }
    QByteArray data(static_cast<int>(size), '\0');
    RegQueryValueExW(key, wname.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(data.data()), &size);
    RegCloseKey(key);
    Stored s;
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        s.kind = Stored::Text;
        s.text = QString::fromWCharArray(reinterpret_cast<const wchar_t *>(data.constData()),
                                         static_cast<int>(size / sizeof(wchar_t)));
        while (s.text.endsWith(QChar(0)))
            s.text.chop(1);
    } else if (type == REG_DWORD && size == 4) {
        qint32 v;
        std::memcpy(&v, data.constData(), 4);
        s.kind = Stored::Number;
        s.number = v;
    } else if (type == REG_BINARY) {
        s.kind = Stored::Binary;
        s.bytes = data.left(static_cast<int>(size));
    }
    return s;
}

void winWrite(const QString &name, DWORD type, const void *data, DWORD size)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        throw KvError(writeError(name));
    const std::wstring wname = name.toStdWString();
    const LONG rc = RegSetValueExW(key, wname.c_str(), 0, type, static_cast<const BYTE *>(data), size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        throw KvError(writeError(name));
}
#endif

std::optional<Stored> readStored(const QString &name)
{
#ifdef Q_OS_WIN
    if (nativeRegistry())
        return winRead(name);
#endif
    auto settings = openSettings();
    if (!settings->contains(name))
        return std::nullopt;
    const QVariant v = settings->value(name);
    Stored s;
    s.typed = false;
    switch (v.typeId()) {
    case QMetaType::QString:
        s.kind = Stored::Text;
        s.text = v.toString();
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
        s.kind = Stored::Number;
        s.number = v.toLongLong();
        break;
    case QMetaType::QByteArray:
        s.kind = Stored::Binary;
        s.bytes = v.toByteArray();
        break;
    default:
        s.kind = Stored::Other;
    }
    return s;
}

void storeValue(const QString &name, const QVariant &value)
{
    auto settings = openSettings();
    settings->setValue(name, value);
    settings->sync();
    if (settings->status() != QSettings::NoError)
        throw KvError(writeError(name));
}

void writeText(const QString &name, const QString &value)
{
#ifdef Q_OS_WIN
    if (nativeRegistry()) {
        const std::wstring w = value.toStdWString();
        winWrite(name, REG_SZ, w.c_str(), static_cast<DWORD>((w.size() + 1) * sizeof(wchar_t)));
        return;
    }
#endif
    storeValue(name, value);
}

void writeNumber(const QString &name, qint32 value)
{
#ifdef Q_OS_WIN
    if (nativeRegistry()) {
        winWrite(name, REG_DWORD, &value, 4);
        return;
    }
#endif
    storeValue(name, value);
}

void writeBinary(const QString &name, const QByteArray &bytes)
{
#ifdef Q_OS_WIN
    if (nativeRegistry()) {
        winWrite(name, REG_BINARY, bytes.constData(), static_cast<DWORD>(bytes.size()));
        return;
    }
#endif
    storeValue(name, bytes);
}

qint32 numberOf(const QString &name, const Stored &s)
{
    if (s.kind == Stored::Number && s.number >= INT32_MIN && s.number <= UINT32_MAX)
        return static_cast<qint32>(s.number);
    // An ini file keeps numbers as text: accept a text that is a whole number.
    if (!s.typed && s.kind == Stored::Text) {
        bool ok = false;
        const int v = s.text.trimmed().toInt(&ok);
        if (ok)
            return v;
    }
    throw KvError(typeError(name));
}

} // namespace

QString RegReadString(const QString &name, const QString &defaultValue)
{
    const auto s = readStored(name);
    if (!s)
        return defaultValue;
    if (s->kind == Stored::Text)
        return s->text;
    // Numbers in an ini file come back as text, so only a typed store can
    // tell a number apart; there it is the wrong type.
    throw KvError(typeError(name));
}

void RegWriteString(const QString &name, const QString &value) { writeText(name, value); }

int RegReadInteger(const QString &name, int defaultValue)
{
    const auto s = readStored(name);
    return s ? numberOf(name, *s) : defaultValue;
}

void RegWriteInteger(const QString &name, int value) { writeNumber(name, value); }

bool RegReadBool(const QString &name, bool defaultValue)
{
    const auto s = readStored(name);
    return s ? numberOf(name, *s) != 0 : defaultValue;
}

void RegWriteBool(const QString &name, bool value) { writeNumber(name, value ? 1 : 0); }

double RegReadFloat(const QString &name, double defaultValue)
{
    const auto s = readStored(name);
    if (!s)
        return defaultValue;
    if (s->kind != Stored::Binary || s->bytes.size() != static_cast<int>(sizeof(double)))
        throw KvError(typeError(name));
    double v;
    std::memcpy(&v, s->bytes.constData(), sizeof v);
    return v;
}

void RegWriteFloat(const QString &name, double value)
{
    QByteArray bytes(sizeof value, '\0');
    std::memcpy(bytes.data(), &value, sizeof value);
    writeBinary(name, bytes);
}

namespace RegStore {

void redirectTo(const QString &folder) { g_redirect = folder; }
QString redirectedFolder() { return g_redirect; }

QString location()
{
    if (nativeRegistry())
        return QStringLiteral("HKEY_CURRENT_USER\\Software\\Tarvik\\Ziz");
    return openSettings()->fileName();
}

void remove(const QString &name)
{
#ifdef Q_OS_WIN
    if (nativeRegistry()) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
            RegDeleteValueW(key, name.toStdWString().c_str());
            RegCloseKey(key);
        }
        return;
    }
#endif
    auto settings = openSettings();
    settings->remove(name);
}

void writeRawText(const QString &name, const QString &text) { writeText(name, text); }
}
