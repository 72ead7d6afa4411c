// kv_mkemptydb <folder>: writes the empty tables of a new database into the
// folder (the EmptyDB template beside the program), replacing older ones.
#include "DbTable.h"
#include "KvError.h"
#include "TableDefs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: kv_mkemptydb <folder>\n", stderr);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    try {
        for (const TableDef &d : TableDefs::all()) {
            QFile::remove(QDir(folder).filePath(d.name + QStringLiteral(".DB")));
            DbTable::createTable(folder, d);
        }
    } catch (const KvError &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
