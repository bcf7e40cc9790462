#pragma once

#include <QLabel>

// `plain` as rich text in which no command, path or option is broken across two lines: a
// word with a slash, or one that starts with a dash (kept with the word before it, as in
// "velmora --list-inputs"). A user reads and copies them whole.
[[nodiscard]] QString keepingCommandsWhole(const QString &plain);

// The line at the bottom of the window that says why the inputs cannot be read. Three
// lines, never more, so that a long message (a USB device's by-id path) never covers the
// frames above it: what does not fit is cut with "…", and is whole in its tooltip.
class StatusLine : public QLabel {
    Q_OBJECT
public:
    explicit StatusLine(QWidget *parent = nullptr);
    // Shows `text` (empty: nothing); the same text again costs nothing.
    void showMessage(const QString &text);
};
