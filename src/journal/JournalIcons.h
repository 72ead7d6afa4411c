#pragma once
#include <QIcon>

// Small pictures of the journal's tool bar and of its printed/new column,
// drawn in code so that the program needs no picture files.
namespace JournalIcons {
enum Kind { NewOrder, EditOrder, CopyOrder, DeleteOrder, Register, Preview, Print, Settings, Exit, Printed };
QIcon icon(Kind kind);
}
