#pragma once
#include <QString>

// Copies every plain file directly in a folder into another folder (created
// when missing), overwriting files of the same name and giving each copy the
// modification time of its source. Sub-folders are left out. Table files are
// copied through the engine under a read lock, so that a copy made while
// another copy of the program writes is never torn. Any file that cannot be
// read or written stops the copying with KvError naming it.
namespace FolderCopy {
void copyPlainFiles(const QString &fromFolder, const QString &toFolder);
// One file; `consistent` copies a table file under its read lock.
void copyFile(const QString &from, const QString &to, bool consistent);
}
