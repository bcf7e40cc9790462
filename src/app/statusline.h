#pragma once

#include <QLabel>

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
