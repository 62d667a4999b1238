#pragma once

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

// Runs a command-line tool built beside the test binaries, keeping Qt's notes about the environment off its
// error output.
struct ToolRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline QString toolPath(const char *name)
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/") + QString::fromLatin1(name);
}

inline ToolRun runTool(const char *name, const QStringList &arguments, const QString &runtimeDir)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    process.setProcessEnvironment(environment);
    process.start(toolPath(name), arguments);
    process.waitForFinished(120000);
    ToolRun run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}
