#include "pipewireapi.h"

#include "platform/texts.h"

#include <QFileInfo>

#include <dlfcn.h>

namespace {

Result<PipeWireApi> load()
{
    void *library = ::dlopen("libpipewire-0.3.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return failure(
            Texts::tr("libreria di PipeWire non caricata (%1)").arg(QString::fromLocal8Bit(::dlerror())));
    PipeWireApi api;
    bool complete = true;
#define VELMORA_PIPEWIRE_RESOLVE(name)                                                                       \
    api.name = reinterpret_cast<decltype(&::name)>(::dlsym(library, #name));                                 \
    complete = complete && api.name;
    VELMORA_PIPEWIRE_FUNCTIONS(VELMORA_PIPEWIRE_RESOLVE)
#undef VELMORA_PIPEWIRE_RESOLVE
    if (!complete)   // the library stays loaded: unloading it is not worth the risk
        return failure(Texts::tr("libreria di PipeWire troppo vecchia"));
    api.pw_init(nullptr, nullptr);
    return api;
}

}   // namespace

Result<const PipeWireApi *> pipeWireApi()
{
    static const Result<PipeWireApi> loaded = load();   // thread-safe, once
    if (!loaded)
        return failure(loaded.error());
    return &*loaded;
}

bool pipeWireServerThere()
{
    const QByteArray remote = qEnvironmentVariableIsEmpty("PIPEWIRE_REMOTE") ? QByteArray("pipewire-0")
                                                                             : qgetenv("PIPEWIRE_REMOTE");
    if (remote.startsWith('/'))
        return QFileInfo::exists(QString::fromLocal8Bit(remote));
    const QByteArray folder = qEnvironmentVariableIsEmpty("PIPEWIRE_RUNTIME_DIR")
                                  ? qgetenv("XDG_RUNTIME_DIR")
                                  : qgetenv("PIPEWIRE_RUNTIME_DIR");
    return folder.isEmpty() || QFileInfo::exists(QString::fromLocal8Bit(folder + '/' + remote));
}
