#include "AppPaths.h"

#include <QCoreApplication>
#include <QDir>

namespace AppPaths {

QString programFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString localSeparators(const QString &path)
{
    QString p = path;
#ifndef Q_OS_WIN
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
#endif
    return p;
}

QString resolveFolder(const QString &setting)
{
    QString p = localSeparators(setting.trimmed());
    if (p.isEmpty())
        p = QStringLiteral(".");
    QString abs = QDir::isAbsolutePath(p) ? p : QDir(QDir::currentPath()).filePath(p);
    abs = QDir::cleanPath(QDir::fromNativeSeparators(abs));
    if (!abs.endsWith(QLatin1Char('/')))
        abs += QLatin1Char('/');
    return abs;
}

QString join(const QString &folder, const QString &name)
{
    QString f = localSeparators(folder);
    if (!f.isEmpty() && !f.endsWith(QLatin1Char('/')) && !f.endsWith(QLatin1Char('\\')))
        f += QLatin1Char('/');
    return f + name;
}
}
