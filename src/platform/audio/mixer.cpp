#include "mixer.h"

#include "platform/timing.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr std::size_t kRoom = 256;   // clips handed back between two collections, without allocating
}   // namespace

Mixer::Mixer()
{
    m_retired.reserve(kRoom);
    m_finished.reserve(kRoom);
    m_taking.reserve(kRoom);
    m_pending.reserve(kRoom);
}

void Mixer::push(Command command)
{
    std::vector<std::shared_ptr<const Clip>> done;   // freed here, after the lock
    done.reserve(kRoom);
    std::lock_guard lock(m_lock);
    std::swap(done, m_retired);
    m_pending.push_back(std::move(command));
    m_hasPending.store(true, std::memory_order_release);
}

void Mixer::start(Start start) { push({Command::Kind::Start, std::move(start), 0}); }

void Mixer::stop(int owner, uint32_t fadeFrames)
{
    Command command {Command::Kind::Stop, {}, fadeFrames};
    command.start.owner = owner;
    push(std::move(command));
}

void Mixer::collect()
{
    std::vector<std::shared_ptr<const Clip>> done;
    done.reserve(kRoom);
    std::lock_guard lock(m_lock);
    std::swap(done, m_retired);
}

void Mixer::retire(std::shared_ptr<const Clip> &clip)
{
    if (clip)
        m_finished.push_back(std::move(clip));
}

void Mixer::apply(Command &command)
{
    Start &start = command.start;
    if (command.kind == Command::Kind::Stop) {
        for (Voice &voice : m_voices) {
            if (voice.done() || (start.owner >= 0 && voice.owner != start.owner))
                continue;
            if (command.fadeFrames == 0)
                retire(voice.clip);
            else if (voice.fadeTotal == 0)
                voice.fadeLeft = voice.fadeTotal = command.fadeFrames;
            else if (voice.fadeLeft > command.fadeFrames) {   // sooner, from the level it has reached
                voice.fadeTotal = uint32_t(uint64_t(voice.fadeTotal) * command.fadeFrames / voice.fadeLeft);
                voice.fadeLeft = command.fadeFrames;
            }
        }
        return;
    }
    if (start.replace)
        for (Voice &voice : m_voices)
            retire(voice.clip);
    if (!start.clip)
        return;
    Voice *free =
        std::find_if(std::begin(m_voices), std::end(m_voices), [](const Voice &v) { return v.done(); });
    if (free == std::end(m_voices)) {   // all playing: the oldest gives way
        free = std::min_element(std::begin(m_voices), std::end(m_voices),
                                [](const Voice &a, const Voice &b) { return a.started < b.started; });
        retire(free->clip);
    }
    *free = Voice {std::move(start.clip), start.owner, 0, start.gain, start.loop, 0, 0, ++m_starts};
    firstFrameAtNs = steadyNowNs();
}

void Mixer::mix(Voice &voice, float *out, uint32_t frames)
{
    constexpr float kScale = 1.0f / 32768.0f;
    for (uint32_t i = 0; i < frames && !voice.done(); ++i) {
        const Clip &clip = *voice.clip;
        if (voice.position >= clip.frames()) {
            if (!voice.loop || clip.frames() == 0) {
                retire(voice.clip);
                break;
            }
            voice.position = 0;   // the loop's first frame right after its last: no gap
        }
        float gain = voice.gain * kScale;
        if (voice.fadeTotal != 0)
            gain *= float(voice.fadeLeft) / float(voice.fadeTotal);
        const qint16 *frame = clip.samples.data() + voice.position * std::size_t(clip.channels);
        out[2 * i] += float(frame[0]) * gain;
        out[2 * i + 1] += float(frame[clip.channels - 1]) * gain;
        ++voice.position;
        if (voice.fadeTotal != 0 && --voice.fadeLeft == 0)
            retire(voice.clip);
    }
    if (!voice.done() && !voice.loop && voice.position >= voice.clip->frames())
        retire(voice.clip);
}

void Mixer::fill(float *out, uint32_t frames)
{
    if ((m_hasPending.load(std::memory_order_acquire) || !m_finished.empty()) && m_lock.try_lock()) {
        std::swap(m_pending, m_taking);
        m_hasPending.store(false, std::memory_order_release);
        for (Command &command : m_taking)
            apply(command);
        m_taking.clear();
        for (std::shared_ptr<const Clip> &clip : m_finished)
            if (m_retired.size() < m_retired.capacity())
                m_retired.push_back(std::move(clip));
        std::erase(m_finished, nullptr);   // what did not fit waits for the next cycle
        m_lock.unlock();
    }
    if (!out)
        return;
    std::fill(out, out + kOutputChannels * frames, 0.0f);
    for (Voice &voice : m_voices)
        if (!voice.done())
            mix(voice, out, frames);
    m_sounding.store(
        std::any_of(std::begin(m_voices), std::end(m_voices), [](const Voice &v) { return !v.done(); }),
        std::memory_order_release);
    // The limiter: a cycle whose sum would pass full scale is turned down to fit, at once;
    // the level comes back by a tenth of a second's worth of frames at a time.
    float peak = 0.0f;
    for (uint32_t i = 0; i < kOutputChannels * frames; ++i)
        peak = std::max(peak, std::fabs(out[i]));
    const float fits = peak > 1.0f ? 1.0f / peak : 1.0f;
    m_level = fits < m_level ? fits : std::min(fits, m_level + float(frames) / (0.1f * float(kOutputRate)));
    if (m_level < 1.0f)
        for (uint32_t i = 0; i < kOutputChannels * frames; ++i)
            out[i] *= m_level;
}

bool Mixer::busy() const
{
    return m_sounding.load(std::memory_order_acquire) || m_hasPending.load(std::memory_order_acquire);
}

void Mixer::clear()
{
    for (Voice &voice : m_voices)
        voice = {};
    m_pending.clear();
    m_taking.clear();
    m_finished.clear();
    m_retired.clear();
    m_hasPending = false;
    m_sounding = false;
}
