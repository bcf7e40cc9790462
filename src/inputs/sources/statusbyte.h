#pragma once

#include "inputs/inputsource.h"
#include "platform/texts.h"

#include <QtGlobal>

// The inputs a byte of the parallel port's status register gives, by the wiring in
// kInputs; bits 0-3 mean nothing. The port itself and the status file both read it.
[[nodiscard]] Inputs inputsFromStatus(quint8 status);

// The sources that read a status byte (the port itself, the status file) are the parallel
// port to the user.
class StatusByteSource : public InputSource {
public:
    [[nodiscard]] QString name() const override { return Texts::tr("Porta parallela"); }
};
