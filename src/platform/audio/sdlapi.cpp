#include "sdlapi.h"

#include <dlfcn.h>

namespace {

struct Loaded {
    SdlApi api;
    QString error;
    bool ok = false;
};

Loaded load()
{
    Loaded result;
    void *library = ::dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        result.error =
            QStringLiteral("libreria SDL2 non caricata (%1): installare il pacchetto libsdl2-2.0-0")
                .arg(QString::fromLocal8Bit(::dlerror()));
        return result;
    }
    bool complete = true;
#define VELMORA_SDL_RESOLVE(name)                                                                            \
    result.api.name = reinterpret_cast<decltype(&::name)>(::dlsym(library, #name));                          \
    complete = complete && result.api.name;
    VELMORA_SDL_FUNCTIONS(VELMORA_SDL_RESOLVE)
#undef VELMORA_SDL_RESOLVE
    if (!complete) {
        result.error = QStringLiteral("libreria SDL2 troppo vecchia: aggiornare il pacchetto libsdl2-2.0-0");
        return result;   // the library stays loaded: unloading it is not worth the risk
    }
    result.ok = true;
    return result;
}

}   // namespace

const SdlApi *sdlApi(QString *error)
{
    static const Loaded loaded = load();   // thread-safe, once
    if (!loaded.ok && error)
        *error = loaded.error;
    return loaded.ok ? &loaded.api : nullptr;
}
