#pragma once

#include <QString>
#include <QStringList>

// Where a message may break when it does not fit: never inside a command, a path or an
// option with its value, which a user reads and copies whole.

// A line's words grouped into pieces that must stay on one line: a path; an option with
// the word before it and its value ("velmora --list-inputs --port serial:PORT"); a
// command after "sudo" up to the punctuation that ends it ("(sudo usermod -aG lp $USER),").
// A no-break space (U+00A0) also holds two words together.
[[nodiscard]] QStringList unbreakablePieces(const QString &line);

// `plain` as rich text in which no piece is broken across two lines (the status line and
// the start-up box).
[[nodiscard]] QString keepingCommandsWhole(const QString &plain);

// `plain` for a terminal: each line longer than `columns` broken between pieces, the
// lines after the first indented four more than it when it is indented (a detail under a
// device), as much when not (a paragraph). A piece longer than a line has a line of its
// own. No-break spaces come out as plain spaces, which a script's grep expects.
[[nodiscard]] QString fittedToColumns(const QString &plain, qsizetype columns = 79);
