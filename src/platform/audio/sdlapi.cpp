#include "sdlapi.h"

#include "platform/texts.h"

#include <dlfcn.h>

namespace {

Result<SdlApi> load()
{
    void *library = ::dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return failure(Texts::tr("libreria SDL2 non caricata (%1): installare il pacchetto libsdl2-2.0-0")
                           .arg(QString::fromLocal8Bit(::dlerror())));
    SdlApi api;
    bool complete = true;
#define VELMORA_SDL_RESOLVE(name)                                                                            \
    api.name = reinterpret_cast<decltype(&::name)>(::dlsym(library, #name));                                 \
    complete = complete && api.name;
    VELMORA_SDL_FUNCTIONS(VELMORA_SDL_RESOLVE)
#undef VELMORA_SDL_RESOLVE
    if (!complete)   // the library stays loaded: unloading it is not worth the risk
        return failure(Texts::tr("libreria SDL2 troppo vecchia: aggiornare il pacchetto libsdl2-2.0-0"));
    return api;
}

}   // namespace

Result<const SdlApi *> sdlApi()
{
    static const Result<SdlApi> loaded = load();   // thread-safe, once
    if (!loaded)
        return failure(loaded.error());
    return &*loaded;
}
