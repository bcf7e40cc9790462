#include "outputchoice.h"

#include "pipewireoutput.h"

namespace {

class PipeWireFirst : public AudioOutput {
public:
    explicit PipeWireFirst(const SdlOutput::Settings &settings) : m_sdlSettings(settings) {}

    void start(std::shared_ptr<const Clip> clip) override
    {
        if (m_pipeWire.connect()) {
            if (m_sdl)
                m_sdl->start(nullptr);   // whatever it still played stops; it closes when idle
            m_pipeWire.start(std::move(clip));
            return;
        }
        if (!m_sdl)
            m_sdl = std::make_unique<SdlOutput>(m_sdlSettings);
        m_sdl->start(std::move(clip));
    }
    void maintain() override
    {
        m_pipeWire.maintain();
        if (m_sdl)
            m_sdl->maintain();
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
