#pragma once

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Runs one of the command-line tools built beside the tests and keeps what it printed.
struct ToolProcess
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;

    static QString path(const char *tool)
    {
        return QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/")
            + QString::fromLatin1(tool);
    }
    static bool built(const char *tool) { return QFileInfo::exists(path(tool)); }

    // `runtimeDir` keeps Qt's note about a missing runtime folder off the tool's stderr.
    static ToolProcess run(const char *tool, const QStringList &arguments, const QString &runtimeDir)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        process.start(path(tool), arguments);
        process.waitForFinished(120000);
        ToolProcess result;
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        return result;
    }
};
