#pragma once

#include "webface.h"

#include <memory>

// The web page as the command line asks for it: started over `core` with its URL said on
// stderr (the journal, without a window), or why it cannot be, the box going on without it.
[[nodiscard]] std::unique_ptr<WebFace> openWebPage(Core &core, const WebFace::Settings &settings);

// What velmora --web-key prints: the key (a new one with `renew`), and where to give it.
[[nodiscard]] Result<QString> describeWebKey(const QString &folder, bool renew);
