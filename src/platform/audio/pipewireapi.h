#pragma once

#include "platform/result.h"

#include <pipewire/pipewire.h>

// PipeWire's client library, loaded by the player's thread when it first plays, as SDL is:
// a copied program must still start, and play through SDL, on a system without PipeWire.
// What its headers give inline (building a format, adding a listener) needs no loading.
#define VELMORA_PIPEWIRE_FUNCTIONS(X)                                                                        \
    X(pw_init)                                                                                               \
    X(pw_thread_loop_new)                                                                                    \
    X(pw_thread_loop_destroy)                                                                                \
    X(pw_thread_loop_start)                                                                                  \
    X(pw_thread_loop_stop)                                                                                   \
    X(pw_thread_loop_lock)                                                                                   \
    X(pw_thread_loop_unlock)                                                                                 \
    X(pw_thread_loop_get_loop)                                                                               \
    X(pw_context_new)                                                                                        \
    X(pw_context_destroy)                                                                                    \
    X(pw_context_connect)                                                                                    \
    X(pw_core_disconnect)                                                                                    \
    X(pw_properties_new)                                                                                     \
    X(pw_stream_new)                                                                                         \
    X(pw_stream_destroy)                                                                                     \
    X(pw_stream_add_listener)                                                                                \
    X(pw_stream_connect)                                                                                     \
    X(pw_stream_dequeue_buffer)                                                                              \
    X(pw_stream_queue_buffer)                                                                                \
    X(pw_stream_set_active)

struct PipeWireApi {
#define VELMORA_PIPEWIRE_POINTER(name) decltype(&::name) name = nullptr;
    VELMORA_PIPEWIRE_FUNCTIONS(VELMORA_PIPEWIRE_POINTER)
#undef VELMORA_PIPEWIRE_POINTER
};

// The library, loaded and initialised on the first call from any thread; or why it cannot be.
[[nodiscard]] Result<const PipeWireApi *> pipeWireApi();

// Whether a server's socket is where the client library would knock: without one there is
// no server, and building a context (its configuration, its modules) to learn that would
// cost at every try.
[[nodiscard]] bool pipeWireServerThere();
