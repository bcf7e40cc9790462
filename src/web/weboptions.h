#pragma once

#include <QString>

// What the command line asks of the web page; the address empty when there is none.
struct WebOptions {
    QString address;                         // --web [ADDRESS:]PORT
    qint64 uploadLimit = qint64(64) << 20;   // --web-upload-limit MIB, in bytes
    QString certificate, certificateKey;     // --web-cert FILE --web-cert-key FILE: HTTPS
    [[nodiscard]] bool https() const { return !certificate.isEmpty(); }
};
