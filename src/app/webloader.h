#pragma once

#include "web/webplugin.h"

// The web page's module: beside the program (a build, scripts/install's folder), else
// where the package puts it. Null, with the reason in `why`, when it is not there or does
// not load.
[[nodiscard]] const WebPlugin *loadWebPlugin(QString &why);
