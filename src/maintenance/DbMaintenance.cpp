#include "DbMaintenance.h"

#include "AppPaths.h"
#include "DataUnit.h"
#include "FolderCopy.h"
#include "Prompt.h"
#include "RegWorksUnit.h"
#include "Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

void say(const DbMaintenance::Status &status, const QString &text)
{
    if (status)
        status(text);
    QCoreApplication::processEvents();
}

// Steps shared by both operations: delete the file set, copy the template,
// check that the payment table arrived. `shown` is the folder as the messages name it.
bool replaceWithTemplate(TDataBase1 &data, const QString &shown, const DbMaintenance::Status &status)
{
    const QString dir = AppPaths::resolveFolder(shown);
    say(status, QStringLiteral("Удаляем текущую БД"));
    data.CloseAllTable();
    for (const QString &name : DbMaintenance::databaseFileSet()) {
        QFile::remove(dir + name);
        // A journal left beside a table would be played into the new file.
        if (name.endsWith(QLatin1String(".DB")))
            QFile::remove(dir + name + QStringLiteral("-journal"));
    }
    say(status, QStringLiteral("Создаем новую БД"));
    if (QDir(DbMaintenance::templateFolder()).exists()) // a missing template is reported as a failed copy
        FolderCopy::copyPlainFiles(DbMaintenance::templateFolder(), dir);
    if (!QFileInfo::exists(dir + QStringLiteral("PaysDB.DB"))) {
        Prompt::messageBox(QStringLiteral("Ошибка обновления"), QStringLiteral("Не удалось скопировать БД в ") + shown, Prompt::Ok);
        return false;
    }
    return true;
}

QString databaseSetting() { return Settings::readString(Settings::DataBasePath); }

bool settingMissing(const QString &setting)
{
    if (!setting.trimmed().isEmpty())
        return false;
    Prompt::messageBox(QStringLiteral("Ошибка установки"), QStringLiteral("Выполните переустановку программы"), Prompt::Ok);
    return true;
}

} // namespace

namespace DbMaintenance {

const QStringList &databaseFileSet()
{
    static const QStringList names = {
        QStringLiteral("bank.DB"), QStringLiteral("bank.PX"), QStringLiteral("DBDWORK.INI"),
        QStringLiteral("PayerDB.DB"), QStringLiteral("PayerDB.MB"), QStringLiteral("PayerDB.PX"), QStringLiteral("PayerDB.VAL"),
        QStringLiteral("PaysDB.DB"), QStringLiteral("PaysDB.MB"), QStringLiteral("PaysDB.PX"), QStringLiteral("PaysDB.VAL"),
        QStringLiteral("PaysDB.XG0"), QStringLiteral("PaysDB.XG1"), QStringLiteral("PaysDB.XG2"), QStringLiteral("PaysDB.XG3"),
        QStringLiteral("PaysDB.YG0"), QStringLiteral("PaysDB.YG1"), QStringLiteral("PaysDB.YG2"), QStringLiteral("PaysDB.YG3"),
        QStringLiteral("PDOXUSRS.NET")};
    return names;
}

QString templateFolder() { return AppPaths::programFolder() + QStringLiteral("/EmptyDB"); }

bool CreateNewEmptyDb(TDataBase1 &data, const Status &status)
{
    const QString setting = databaseSetting();
    if (settingMissing(setting))
        return false;
    return replaceWithTemplate(data, setting + QLatin1Char('\\'), status);
}

bool UpdateDataBase(TDataBase1 &data, const QString &sourceFolder, const Status &status)
{
    if (sourceFolder.trimmed().isEmpty()) {
        Prompt::messageBox(QStringLiteral("Импорта"), QStringLiteral("Не выбран источник данных"), Prompt::Ok);
        return false;
    }
    const QString setting = databaseSetting();
    if (settingMissing(setting))
        return false;
    const QString shown = setting.endsWith(QLatin1Char('/')) ? setting : setting + QLatin1Char('/');
    const QString dir = AppPaths::resolveFolder(shown);
    QString source = AppPaths::resolveFolder(sourceFolder);
    // The current database as its own source: read from a copy, since its
    // files are deleted before they are read.
    if (QFileInfo(source).canonicalFilePath() == QFileInfo(dir).canonicalFilePath()) {
        data.CloseAllTable();
        source = data.MakeFolderForBC();
        FolderCopy::copyPlainFiles(dir, source);
    }
    if (!replaceWithTemplate(data, shown, status))
        return false;
    say(status, QStringLiteral("Наполняем БД данными из ") + sourceFolder);
    data.ImportDate(source + QStringLiteral("PayerDB.DB"), dir + QStringLiteral("PayerDB.DB"));
    data.ImportDate(source + QStringLiteral("PaysDB.DB"), dir + QStringLiteral("PaysDB.DB"));
    return true;
}

void install(TDataBase1 &data)
{
    data.createNewEmptyDb = [&data] { return CreateNewEmptyDb(data); };
    data.updateDataBase = [&data](const QString &source) { return UpdateDataBase(data, source); };
}
}
