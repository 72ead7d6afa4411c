#include "DataUnit.h"

#include "AppPaths.h"
#include "Clock.h"
#include "FolderCopy.h"
#include "KvError.h"
#include "Prompt.h"
#include "RegWorksUnit.h"
#include "Settings.h"

#include <QDir>
#include <QFileInfo>

TDataBase1 *DataBase1 = nullptr;

namespace {
QString setting(const char *name) { return Settings::key(name); }
}

TDataBase1::TDataBase1(QObject *parent) : QObject(parent), SessionControl(DbSession::instance())
{
    PaysTable.setTableName(QStringLiteral("PaysDB"));
    PaysTable.setIndexFieldNames(QStringLiteral("Num"));
    PaysTable.setOnFilterRecord([this](DbTable &t) { return PaysTableFilterRecord(t); });
    PayerTable.setTableName(QStringLiteral("PayerDB"));
    PayerTable.setIndexFieldNames(QStringLiteral("PSName"));
    BankTable.setTableName(QStringLiteral("bank"));
    BankTable.setIndexFieldNames(QStringLiteral("Bank"));
    PaysSource.setDataSet(&PaysTable);
    PayerSource.setDataSet(&PayerTable);
    BankSource.setDataSet(&BankTable);
    DatabaseControl.setLoginPrompt(false);

    // Until the journal brings its view commands: set the mode, re-apply the filter.
    viewCommand = [this](int mode) {
        m_viewMode = mode;
        PaysTable.setFiltered(false);
        PaysTable.setFiltered(true);
    };
    showSearchWindow = [] { return false; };
    updateDataBase = [](const QString &) { return false; };
    createNewEmptyDb = [] { return false; };
    runBankUpdate = [] {};

    // Keeps this copy's entries in the lock file alive while it runs.
    m_heartbeat.setInterval(120 * 1000);
    connect(&m_heartbeat, &QTimer::timeout, this, [this] {
        if (PaysTable.active())
            DbLockFile::heartbeat(databaseFolder());
    });
    m_heartbeat.start();
    if (!DataBase1)
        DataBase1 = this;
}

TDataBase1::~TDataBase1()
{
    try {
        DataModuleDestroy();
    } catch (...) {
    }
    if (DataBase1 == this)
        DataBase1 = nullptr;
}

void TDataBase1::pointTablesAtFolder()
{
    const QString dir = SessionControl.netFileDir();
    DatabaseControl.setDatabaseName(dir);
    for (DbTable *t : {&PaysTable, &PayerTable, &BankTable})
        t->setDatabaseName(dir);
    SessionControl.open();
    DatabaseControl.open();
}

void TDataBase1::CreateDataBaseAndOpenAllTable()
{
    // 1. The engine at the folder, with our user name.
    SessionControl.setNetFileDir(Settings::readString(Settings::DataBasePath));
    DatabaseControl.setDatabaseName(SessionControl.netFileDir());
    DatabaseControl.params().clear();
    DatabaseControl.params() << QStringLiteral("USER NAME=")
                                    + Settings::readString(Settings::UserName);
    SessionControl.open();
    DatabaseControl.open();

    // 2. The stored view; an unknown mode is kept but applies nothing.
    const int mode = Settings::readInteger(Settings::PayTableViewMode);
    if (mode >= 0 && mode <= 2)
        viewCommand(mode);
    else
        m_viewMode = mode;

    const QString dir = SessionControl.netFileDir();
    if (QFileInfo::exists(dir + QStringLiteral("PaysDB.DB"))) {
        // 3. An existing database.
        if (Settings::readString(Settings::UpdateFlag) == QLatin1String("1")) {
            const QString backup = MakeFolderForBC();
            copyFolderInto(backup);
            updateDataBase(backup);
            RegWriteString(setting(Settings::UpdateFlag), QStringLiteral("0"));
        }
        const int count = Settings::readInteger(Settings::BCopyCnt);
        if (count <= 5) {
            RegWriteInteger(setting(Settings::BCopyCnt), count + 1);
        } else {
            copyFolderInto(MakeFolderForBC());
            RegWriteInteger(setting(Settings::BCopyCnt), 0);
        }
        pointTablesAtFolder();
        runBankUpdate();
    } else {
        // 4. The very first run.
        const int answer = Prompt::messageBox(QStringLiteral("Квитон"),
            QStringLiteral("Загрузить данные из предыдущей версии программы? Ok - Загрузить. Cancel - Создать новую базу."),
            Prompt::Ok | Prompt::Cancel, Prompt::Information);
        if (answer == Prompt::Ok) {
            Clock::wait(200);
            if (!showSearchWindow()) {
                Prompt::requestTerminate();
                return;
            }
        } else if (!createNewEmptyDb()) {
            Prompt::requestTerminate();
            return;
        }
        Clock::wait(1000);
        RegWriteString(setting(Settings::UpdateFlag), QStringLiteral("0"));
        pointTablesAtFolder();
    }

    // 5. The tables, with the last order current.
    OpenAllTable();
    if (PaysTable.active())
        PaysTable.last();
}

void TDataBase1::OpenAllTable()
{
    try {
        BankTable.open();
        PayerTable.open();
        PaysTable.open();
    } catch (const KvError &) {
        if (Prompt::messageBox(QStringLiteral("Ошибка..."),
                               QStringLiteral("База данных платежных поручений повреждена. Попытаться восстановить ее ??"),
                               Prompt::Ok | Prompt::Cancel, Prompt::Error) != Prompt::Ok)
            return;
        try {
            CloseAllTable();
            if (showSearchWindow()) {
                Clock::wait(1000);
                BankTable.open();
                PayerTable.open();
                PaysTable.open();
            } else {
                Prompt::requestTerminate();
            }
        } catch (const KvError &) {
            Prompt::messageBox(QStringLiteral("Ошибка..."), QStringLiteral("База данных НЕ ВОССТАНОВЛЕНА. Переустановите программу."),
                               Prompt::Ok, Prompt::Error);
        }
    }
}

void TDataBase1::CloseAllTable()
{
    BankTable.close();
    PaysTable.close();
    PayerTable.close();
}

QString TDataBase1::MakeFolderForBC()
{
    const QString name = Clock::now().toString(QStringLiteral("yyyy_MM_dd_HH_mm_ss"));
    const QString path = SessionControl.netFileDir() + name;
    if (!QDir().exists(path) && !QDir().mkdir(path))
        throw KvError(QStringLiteral("Не удалось создать папку %1").arg(QDir::toNativeSeparators(path)));
    return path + QLatin1Char('/');
}

void TDataBase1::copyFolderInto(const QString &backup)
{
    FolderCopy::copyPlainFiles(SessionControl.netFileDir(), backup);
}

bool TDataBase1::PaysTableFilterRecord(DbTable &table)
{
    if (m_viewMode == 0)
        return true;
    if (m_viewMode != 1 && m_viewMode != 2)
        return false;
    // One threshold per pass over the table: now, a year or a month back.
    if (m_thresholdPass != table.filterPass()) {
        m_thresholdPass = table.filterPass();
        const QDateTime t = Clock::addMonthsClamped(Clock::now(), m_viewMode == 1 ? -12 : -1);
        m_thresholdDate = t.date();
        m_thresholdMidnight = t.time().msecsSinceStartOfDay() == 0;
        m_dateField = table.fieldByName(QStringLiteral("Date"));
    }
    const QVariant v = m_dateField->value();
    if (!v.isValid() || v.isNull())
        return false;
    const QDate d = v.toDate();
    // The row's date at midnight must not be earlier than the threshold.
    return d > m_thresholdDate || (d == m_thresholdDate && m_thresholdMidnight);
}

void TDataBase1::ImportDate(const QString &sourcePath, const QString &destPath)
{
    const QFileInfo src(AppPaths::localSeparators(sourcePath)), dst(AppPaths::localSeparators(destPath));
    SourceT.close();
    DestT.close();
    SourceT.setDatabaseName(src.absolutePath());
    SourceT.setTableName(src.fileName());
    DestT.setDatabaseName(dst.absolutePath());
    DestT.setTableName(dst.fileName());
    SourceT.open();
    try {
        DestT.open();
    } catch (...) {
        SourceT.close();
        throw;
    }
    const int n = SourceT.recordCount();
    const int f = qMin(SourceT.fieldCount(), DestT.fieldCount());
    SourceT.first();
    // One transaction: a migration of many orders is one write.
    DestT.startTransaction();
    try {
        for (int r = 0; r < n; ++r) {
            DestT.append();
            try {
                for (int i = 0; i < f; ++i)
                    if (!DestT.fields(i)->isAutoInc())
                        DestT.fields(i)->setValue(SourceT.fields(i)->value());
                DestT.post();
            } catch (const KvError &) {
                DestT.cancel(); // a refused record is dropped
            }
            SourceT.next();
        }
        DestT.commit();
    } catch (...) {
        DestT.rollback();
        SourceT.close();
        DestT.close();
        throw;
    }
    SourceT.close();
    DestT.close();
}

void TDataBase1::DataModuleDestroy()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    CloseAllTable();
    DatabaseControl.close();
    SessionControl.close();
    RegWriteInteger(setting(Settings::PayTableViewMode), m_viewMode);
}
