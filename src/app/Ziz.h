#pragma once
#include <QStringList>

class TDataBase1;

// The program's entry: start-up, the long-lived windows, the command line.
int Ziz(int argc, char *argv[]);

namespace ZizStartup {
enum class Mode { Interactive, BankImport };
// Only the first argument chooses, compared exactly, case included.
Mode modeFor(const QStringList &arguments);
// The batch run of "-U <bank list file>": open sequence, import, close.
void runBatch(TDataBase1 &data, const QStringList &arguments);
}
