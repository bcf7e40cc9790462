#pragma once

#include "core/core.h"
#include "weboptions.h"

#include <QObject>
#include <QString>

#include <memory>

// The web page lives in a module of its own, velmora-web.so, loaded only when it is asked
// for (--web, --web-key): the network libraries it needs (Qt's HTTP server, WebSockets,
// the network stack and what that brings) are never loaded by a box without it, so its
// start-up and memory stay as they were. The module uses the program's own core.
struct WebPlugin {
    // Why --web and its options would be refused; empty when they are fine.
    QString (*check)(const WebOptions &options);
    // The page over `core`, its files in `folder`, started and said on stderr; null (said
    // why) when it cannot be.
    std::unique_ptr<QObject> (*open)(Core &core, const WebOptions &options, const QString &folder);
    // What --web-key prints, or why it cannot (the first is false then).
    std::pair<bool, QString> (*describeKey)(const QString &folder, bool renew);
};

// The one symbol the module exports, found by this name.
#define VELMORA_WEB_PLUGIN "velmoraWebPlugin"
extern "C" const WebPlugin *velmoraWebPlugin();
