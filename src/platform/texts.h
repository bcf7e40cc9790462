#pragma once

#include <QCoreApplication>

// Every text a user reads is written in Italian in the code and goes through Qt's
// translation under this one context: Texts::tr("…"). The English is in
// translations/velmora_en.ts, compiled into the program (app/language chooses it).
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(Velmora)
};
