#pragma once
#include "DbSession.h"
#include "DbTable.h"

#include <QObject>
#include <QTimer>
#include <functional>

// The data module: the session, the connection, one table object and one
// data source per table, and the two spare tables for copying. Every window
// works on these objects, so the current row of a table is shared.
class TDataBase1 : public QObject {
    Q_OBJECT
public:
    explicit TDataBase1(QObject *parent = nullptr);
    ~TDataBase1() override;

    DbSession &SessionControl;
    DbDatabase DatabaseControl;
    DbTable PaysTable;
    DbTable PayerTable;
    DbTable BankTable;
    DbTable SourceT;
    DbTable DestT;
    DbDataSource PaysSource;
    DbDataSource PayerSource;
    DbDataSource BankSource;

    // The open sequence.
    void CreateDataBaseAndOpenAllTable();
    void OpenAllTable();
    void CloseAllTable();
    // A backup folder named after the moment, with a trailing separator.
    QString MakeFolderForBC();
    // Appends every record of one table file to another, by field position.
    void ImportDate(const QString &sourcePath, const QString &destPath);
    // The journal's view filter.
    bool PaysTableFilterRecord(DbTable &table);
    void DataModuleDestroy();

    int viewMode() const { return m_viewMode; }
    void setViewMode(int mode) { m_viewMode = mode; }
    // The folder the session points at (absolute, trailing separator).
    QString databaseFolder() const { return SessionControl.netFileDir(); }

    // Calls into other windows, wired up by them (the journal's view
    // commands, the database search window, the bank update).
    std::function<void(int)> viewCommand;           // applies view 0, 1 or 2
    std::function<bool()> showSearchWindow;         // true when it closed with OK
    std::function<bool(const QString &)> updateDataBase;
    std::function<bool()> createNewEmptyDb;
    std::function<void()> runBankUpdate;            // the silent update check

private:
    void copyFolderInto(const QString &backup);
    void pointTablesAtFolder();
    int m_viewMode = 0;
    int m_thresholdPass = -1;
    QDate m_thresholdDate;
    bool m_thresholdMidnight = false;
    DbField *m_dateField = nullptr;
    QTimer m_heartbeat;
    bool m_destroyed = false;
};

// The one instance, created at start-up.
extern TDataBase1 *DataBase1;
