#pragma once

#include "sdloutput.h"

#include <memory>

// The one place that chooses where clips are heard. Where a PipeWire server answers,
// Velmora's own PipeWire stream (pipewireoutput.h); elsewhere, or while PipeWire does not
// answer, SDL's device (PulseAudio, ALSA). SDL_AUDIODRIVER, when set to anything but
// "pipewire", still rules: SDL alone, with that driver (tests use "disk" and "dummy").
[[nodiscard]] std::unique_ptr<AudioOutput> makeAudioOutput(const SdlOutput::Settings &settings);
