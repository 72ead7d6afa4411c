#pragma once
#include <QString>

// Paths as the settings and the user write them ("DATABASE\", "D:\Data\")
// made usable on the running system.
namespace AppPaths {
// The folder of the program file (the current folder after start-up).
QString programFolder();
// A folder setting as an absolute path with a trailing separator; relative
// paths are relative to the program folder; backslashes are accepted everywhere.
QString resolveFolder(const QString &setting);
// Backslashes made into the running system's separators.
QString localSeparators(const QString &path);
// Folder + file name, whatever separator the folder ends with.
QString join(const QString &folder, const QString &name);
}
