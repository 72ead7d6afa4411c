#pragma once
#include <QString>
#include <functional>

class TDataBase1;

// Replacing the database files: a new empty database from the EmptyDB
// template, and the migration of another database's payers and orders.
namespace DbMaintenance {

// The files of a database, deleted in this order before a new one is made.
const QStringList &databaseFileSet();
// The template folder beside the program.
QString templateFolder();

using Status = std::function<void(const QString &)>;

// Deletes the current database files and copies the template in.
bool CreateNewEmptyDb(TDataBase1 &data, const Status &status = {});
// The same, then loads PayerDB and PaysDB of the source folder into it.
bool UpdateDataBase(TDataBase1 &data, const QString &sourceFolder, const Status &status = {});

// Wires both into the data module's open sequence.
void install(TDataBase1 &data);
}
