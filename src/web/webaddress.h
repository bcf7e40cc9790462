#pragma once

#include "platform/result.h"

#include <QHostAddress>

// Where the web page listens: --web [ADDRESS:]PORT. A port alone is the loopback address,
// reached from this machine only; any other address is the network's.
struct WebAddress {
    QHostAddress address;
    quint16 port = 0;
    [[nodiscard]] bool loopback() const { return address.isLoopback(); }
};

// "8080", "127.0.0.1:8080", "192.168.1.20:8080", "0.0.0.0:8080", "[::]:8080",
// "localhost:8080"; or why not.
[[nodiscard]] Result<WebAddress> parseWebAddress(const QString &spec);
