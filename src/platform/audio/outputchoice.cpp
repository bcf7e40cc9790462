#include "outputchoice.h"

#include "pipewireoutput.h"

namespace {

class PipeWireFirst : public AudioOutput {
public:
    explicit PipeWireFirst(const SdlOutput::Settings &settings) : m_sdlSettings(settings)
    {
        m_sdlSettings.pipeWireBackend = false;
    }

    // SDL only while no PipeWire server answers at all: one without an output yet waits for
    // one, and one that comes back takes over. SDL's device then plays out what it plays and
    // goes (not kept to play silence: a second stream in the graph, and an open on the
    // first press after every silence).
    void play(Mixer::Start start) override
    {
        if (m_pipeWire.connect()) {
            if (m_sdl && m_sdl->isOpen() && start.replace)
                m_sdl->start(nullptr);   // the new sound replaces it
            else if (!m_sdl || !m_sdl->isOpen())
                m_sdl.reset();
            m_pipeWire.play(std::move(start));
            return;
        }
        if (!m_sdl)
            m_sdl = std::make_unique<SdlOutput>(m_sdlSettings);
        m_sdl->play(std::move(start));
    }
    void stop(int owner, uint32_t fadeFrames) override
    {
        m_pipeWire.stop(owner, fadeFrames);
        if (m_sdl)
            m_sdl->stop(owner, fadeFrames);
    }
    void maintain() override
    {
        m_pipeWire.maintain();
        if (m_sdl && m_pipeWire.connected() && !m_sdl->isOpen())
            m_sdl.reset();
        else if (m_sdl)
            m_sdl->maintain();   // closes it once silent for a while
    }

private:
    SdlOutput::Settings m_sdlSettings;
    PipeWireOutput m_pipeWire;
    std::unique_ptr<SdlOutput> m_sdl;
};

}   // namespace

std::unique_ptr<AudioOutput> makeAudioOutput(const SdlOutput::Settings &settings)
{
    const QByteArray driver = qgetenv("SDL_AUDIODRIVER");
    if (!driver.isEmpty() && driver != "pipewire")
        return std::make_unique<SdlOutput>(settings);
    return std::make_unique<PipeWireFirst>(settings);
}
