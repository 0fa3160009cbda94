#pragma once
// The built recorder simulator, found from the test program's own folder, and the names under
// which the program expects the tools in its working directory.
#include <QCoreApplication>
#include <QDir>
#include <QString>

inline QString simulatorReplayPC()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(SIMULATOR_REPLAYPC));
}

inline QString simulatorPShell()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(SIMULATOR_PSHELL));
}

// The stand-in tool of tests/tools, steered by DOVREL_PROBE.
inline QString probeTool()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(PROBE_TOOL));
}

// A program's file name as Windows runs it for a bare name on the command line.
inline QString programFileName(const QString &bareName)
{
#ifdef Q_OS_WIN
    return bareName + QStringLiteral(".exe");
#else
    return bareName;
#endif
}

// The command line says "ReplayPC"; Windows runs it as "ReplayPC.exe".
inline QString replayPCFileName() { return programFileName(QStringLiteral("ReplayPC")); }
