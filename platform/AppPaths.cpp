#include "platform/AppPaths.h"

#include "platform/Exceptions.h"

#include <QDir>

namespace AppPaths {

QString dataFolder(const QStringList &arguments, const QString &executableDir)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--data") && i + 1 < arguments.size())
            return QDir::cleanPath(QDir(arguments.at(i + 1)).absolutePath());
        if (argument.startsWith(QLatin1String("--data=")))
            return QDir::cleanPath(QDir(argument.mid(7)).absolutePath());
    }
    return QDir::cleanPath(QDir(executableDir).filePath(QStringLiteral("Data")));
}

void ensureFolder(const QString &path)
{
    if (!QDir().mkpath(path))
        throw EFCreateError(path);
}

} // namespace AppPaths
