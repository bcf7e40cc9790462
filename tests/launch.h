#pragma once

#include <QProcess>
#include <QStringList>

// Whether this test program can start others: under user-mode emulation of another
// processor (scripts/cross-test) it cannot, and a test that needs one skips, saying so.
inline bool canStartPrograms()
{
    QProcess child;
    child.start(QStringLiteral("true"));
    return child.waitForFinished(5000) && child.exitCode() == 0;
}

#ifdef VELMORA_BINARY
// Starts the program under test as a child: this build's, or the one VELMORA_UNDER_TEST
// names, through the command VELMORA_LAUNCHER names when there is one. That is how a build
// for another processor is tried here, its program run by an emulator (scripts/cross-test).
inline void startVelmora(QProcess &process, const QStringList &arguments)
{
    const QString program = qEnvironmentVariable("VELMORA_UNDER_TEST", QStringLiteral(VELMORA_BINARY));
    QStringList launcher =
        qEnvironmentVariable("VELMORA_LAUNCHER").split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (launcher.isEmpty())
        return process.start(program, arguments);
    const QString emulator = launcher.takeFirst();
    process.start(emulator, launcher + QStringList {program} + arguments);
}
#endif
