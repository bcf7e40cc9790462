#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for. Read before any window or display is touched, so
// that --help, --version and a mistake in the arguments work over ssh and in scripts.
struct CommandLine {
    enum class Action { Run, Check, Help, Version, ListInputs, WebKey, Error };
    Action action = Action::Run;
    QString port = QStringLiteral("auto");
    bool noWindow = false;                      // --no-window: run with no display at all
    QString web;                                // --web [ADDRESS:]PORT: the web page, off when empty
    qint64 webUploadLimit = qint64(64) << 20;   // --web-upload-limit MIB, in bytes
    bool newWebKey = false;                     // --web-key new
    // For Help and Version, the text for stdout; for Error, the reason for stderr.
    QString text;
};

// Parses the program's arguments (the first is the program itself); prints nothing.
[[nodiscard]] CommandLine parseCommandLine(const QStringList &arguments);
