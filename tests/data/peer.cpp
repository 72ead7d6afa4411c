// kv_peer <folder> <user> <command> <table> [args]: acts as another copy of
// the program on a database folder, so that tests can meet a real second
// process. Prints "ready" once it holds what it was asked to hold.
#include "DbSession.h"
#include "DbTable.h"
#include "KvError.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() < 5)
        return 2;
    DbSession::instance().setUserName(a[2]);
    DbSession::instance().setNetFileDir(a[1]);
    const QString command = a[3];
    DbTable t;
    t.setDatabaseName(a[1]);
    t.setTableName(a[4]);
    try {
        if (command == QLatin1String("hold")) { // open and keep it open
            t.open();
            std::puts("ready");
            std::fflush(stdout);
            QThread::msleep(a.value(5).toULong());
        } else if (command == QLatin1String("write-hold")) { // hold the write lock
            t.open();
            t.startTransaction();
            t.append();
            t.fields(0)->setAsString(QStringLiteral("peer"));
            t.post();
            std::puts("ready");
            std::fflush(stdout);
            QThread::msleep(a.value(5).toULong());
            t.commit();
        } else if (command == QLatin1String("write-many")) { // many small writes, one after another
            t.open();
            std::puts("ready");
            std::fflush(stdout);
            const int n = a.value(5).toInt();
            for (int i = 0; i < n; ++i) {
                t.append();
                t.fields(0)->setValue(100000 + i);
                t.fieldByName(QStringLiteral("Dest"))->setAsString(QString(200, QChar(0x0416)));
                t.fieldByName(QStringLiteral("GridKey"))->setAsString(QStringLiteral("peer%1").arg(i));
                t.post();
            }
        } else if (command == QLatin1String("set")) { // set a field of the first row
            t.open();
            t.first();
            t.edit();
            t.fieldByName(a.value(5))->setAsString(a.value(6));
            t.post();
            std::puts("ready");
        }
        t.close();
    } catch (const KvError &e) {
        std::fprintf(stdout, "error %s\n", e.what());
        return 1;
    }
    return 0;
}
