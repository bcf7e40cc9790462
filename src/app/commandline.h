#pragma once

#include <QString>
#include <QStringList>

#include "mqtt/mqttoptions.h"
#include "web/weboptions.h"

// What the command line asks for. Read before any window or display is touched, so
// that --help, --version and a mistake in the arguments work over ssh and in scripts.
struct CommandLine {
    enum class Action { Run, Check, Help, Version, ListInputs, WebKey, Error };
    Action action = Action::Run;
    QString port = QStringLiteral("auto");
    bool noWindow = false;    // --no-window: run with no display at all
    WebOptions web;           // --web and its options: the web page, off without
    bool newWebKey = false;   // --web-key new
    MqttOptions mqtt;         // --mqtt and its options: the message bus, off without
    // For Help and Version, the text for stdout; for Error, the reason for stderr.
    QString text;
};

// Parses the program's arguments (the first is the program itself); prints nothing.
[[nodiscard]] CommandLine parseCommandLine(const QStringList &arguments);
