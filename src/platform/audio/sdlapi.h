#pragma once

#include <SDL.h>

#include "platform/result.h"

#include <QString>

// SDL is loaded by the player's own threads when they first need it, not when the
// program starts: its library pulls in some thirty others (sound servers, codecs,
// display libraries) whose loading would hold up the window's first appearance.
#define VELMORA_SDL_FUNCTIONS(X)                                                                             \
    X(SDL_InitSubSystem)                                                                                     \
    X(SDL_QuitSubSystem)                                                                                     \
    X(SDL_WasInit)                                                                                           \
    X(SDL_SetHint)                                                                                           \
    X(SDL_GetError)                                                                                          \
    X(SDL_OpenAudioDevice)                                                                                   \
    X(SDL_CloseAudioDevice)                                                                                  \
    X(SDL_PauseAudioDevice)                                                                                  \
    X(SDL_LockAudioDevice)                                                                                   \
    X(SDL_UnlockAudioDevice)                                                                                 \
    X(SDL_GetAudioDeviceStatus)                                                                              \
    X(SDL_RWFromConstMem)                                                                                    \
    X(SDL_LoadWAV_RW)                                                                                        \
    X(SDL_FreeWAV)                                                                                           \
    X(SDL_BuildAudioCVT)                                                                                     \
    X(SDL_ConvertAudio)                                                                                      \
    X(SDL_AllocRW)                                                                                           \
    X(SDL_FreeRW)                                                                                            \
    X(SDL_realloc)                                                                                           \
    X(SDL_free)

struct SdlApi {
#define VELMORA_SDL_POINTER(name) decltype(&::name) name = nullptr;
    VELMORA_SDL_FUNCTIONS(VELMORA_SDL_POINTER)
#undef VELMORA_SDL_POINTER
};

// The library, loaded on the first call from any thread; or why it cannot be, in Italian.
[[nodiscard]] Result<const SdlApi *> sdlApi();
