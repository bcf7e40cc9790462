#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The last lines Velmora logged - its own categories' notes and warnings, as the journal
// shows them for a run without a window - kept for a face that shows them from elsewhere
// (the web page). Installed in front of the toolkit's message handler, which still prints
// every line as before.
void keepRecentLog();
// The last lines, oldest first (at most 100), each "HH:mm:ss category: text".
[[nodiscard]] QStringList recentLog();
// `told` is called with each new line, on the thread that logged it; empty: no longer.
void tellRecentLog(std::function<void(const QString &)> told);
