#pragma once

#include <QString>
#include <QStringList>

// Where the program keeps its files: the "Data" folder beside the executable, or the folder given with
// "--data DIR" on the command line.
namespace AppPaths {

// The data folder for these command-line arguments (arguments[0] is the program); does not create it.
QString dataFolder(const QStringList &arguments, const QString &executableDir);
// Creates the folder when it is missing; throws EFCreateError when that fails.
void ensureFolder(const QString &path);

} // namespace AppPaths
