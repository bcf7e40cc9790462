#pragma once

#include <QString>
#include <QStringList>

#include <optional>

struct CommandLine {
    QString port = QStringLiteral("auto");
};

// Parses the program's arguments; on --help, --version or an error it prints and exits.
[[nodiscard]] CommandLine parseCommandLine(const QStringList &arguments);
