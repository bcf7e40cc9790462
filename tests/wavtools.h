#pragma once

// Test helpers: WAV files of known tones in the PCM and float encodings, and measuring which tones
// are present in captured output.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QString>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

namespace wav {

inline void put16(QByteArray &b, quint16 v) { b.append(char(v & 0xff)).append(char(v >> 8)); }
inline void put32(QByteArray &b, quint32 v)
{
    put16(b, quint16(v & 0xffff));
    put16(b, quint16(v >> 16));
}

// A canonical WAV header for `dataBytes` of samples (format 1: PCM, 3: float).
inline QByteArray header(int format, int channels, int rate, int bits, qint64 dataBytes)
{
    QByteArray h = "RIFF";
    put32(h, quint32(36 + dataBytes));
    h += "WAVEfmt ";
    put32(h, 16);
    put16(h, quint16(format));
    put16(h, quint16(channels));
    put32(h, quint32(rate));
    put32(h, quint32(rate * channels * bits / 8));
    put16(h, quint16(channels * bits / 8));
    put16(h, quint16(bits));
    h += "data";
    put32(h, quint32(dataBytes));
    return h;
}

// A 16-bit mono sine of `hz` at `amplitude` (half scale unless said), followed by `silence`
// seconds. (Other encodings are made by sox from real recordings: tst_clipstore.)
inline QByteArray make(int rate, double hz, double seconds, double silence = 0, double amplitude = 0.5)
{
    QByteArray data;
    for (int i = 0; i < int(rate * seconds); ++i)
        put16(data, quint16(qint16(std::lround(amplitude * std::sin(2 * M_PI * hz * i / rate) * 32767))));
    data.append(QByteArray(qsizetype(std::lround(rate * silence)) * 2, '\0'));
    return header(1, 1, rate, 16, data.size()) + data;
}

inline QByteArray tone(double hz, double seconds, double amplitude = 0.5)
{
    return make(48000, hz, seconds, 0, amplitude);
}

// A short tone followed by silence: each start of it is easy to find in a capture.
inline QByteArray burst(double hz, double toneSeconds, double totalSeconds)
{
    return make(48000, hz, toneSeconds, totalSeconds - toneSeconds);
}

// Writes a file whole, making its folder first.
inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The left channel of a capture from SDL's disk driver (float, stereo, 48 kHz).
inline std::vector<float> readCapture(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray raw = f.readAll();
    std::vector<float> left(std::size_t(raw.size()) / 8);
    for (std::size_t i = 0; i < left.size(); ++i)
        std::memcpy(&left[i], raw.constData() + i * 8, 4);
    return left;
}

// Amplitude of one frequency in samples [from, from + n), Hann-windowed.
inline double level(const std::vector<float> &s, std::size_t from, std::size_t n, double hz, int rate = 48000)
{
    if (from + n > s.size())
        return 0;
    double re = 0, im = 0, wsum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2 * M_PI * double(i) / double(n - 1));
        const double phase = 2 * M_PI * hz * double(i) / rate;
        re += w * s[from + i] * std::cos(phase);
        im += w * s[from + i] * std::sin(phase);
        wsum += w;
    }
    return 2 * std::sqrt(re * re + im * im) / wsum;
}

// The dominant of the given frequencies in a 40 ms window from `from`, or 0 when none is clear.
inline double dominant(const std::vector<float> &s, std::size_t from, const QList<double> &candidates)
{
    double best = 0, bestLevel = 0.05;
    for (double hz : candidates)
        if (const double l = level(s, from, 1920, hz); l > bestLevel) {
            best = hz;
            bestLevel = l;
        }
    return best;
}

// Where bursts of sound start from `from` on, in samples (5 ms steps at 48 kHz).
inline QList<std::size_t> onsets(const std::vector<float> &s, std::size_t from = 0)
{
    QList<std::size_t> starts;
    bool loud = false;
    for (std::size_t i = from; i + 240 <= s.size(); i += 240) {
        float peak = 0;
        for (std::size_t k = i; k < i + 240; ++k)
            peak = std::max(peak, std::fabs(s[k]));
        if (peak > 0.1f && !loud)
            starts << i;
        loud = peak > 0.1f;
    }
    return starts;
}

// Where a capture sounds from `from` on: its first and last sample above `floor`.
struct Span {
    std::size_t first = 0, last = 0;
    double ms() const { return double(last - first) / 48.0; }
};
inline Span sounding(const std::vector<float> &s, std::size_t from, float floor = 0.01f)
{
    Span span;
    for (std::size_t i = from; i < s.size(); ++i)
        if (std::fabs(s[i]) >= floor) {
            span.first = span.first ? span.first : i;
            span.last = i;
        }
    return span;
}

// Where, within `span`, `length` samples or more in a row are under `floor`.
inline QList<std::size_t> gaps(const std::vector<float> &s, Span span, std::size_t length, float floor)
{
    QList<std::size_t> out;
    std::size_t quiet = 0;
    for (std::size_t i = span.first; i <= span.last && i < s.size(); ++i) {
        quiet = std::fabs(s[i]) < floor ? quiet + 1 : 0;
        if (quiet == length)
            out << i + 1 - length;
    }
    return out;
}

// How the level of `hz` falls at the end of `span`: the ms before its end at which it last
// stood at 3/4, 1/2 and 1/4 of its level in the span's first half (20 ms windows, 5 ms apart).
inline std::array<double, 3> fallingEdge(const std::vector<float> &s, Span span, double hz)
{
    std::vector<double> levels;
    for (std::size_t at = span.first; at + 960 <= span.last; at += 240)
        levels.push_back(level(s, at, 960, hz));
    if (levels.size() < 8)
        return {};
    std::vector<double> firstHalf(levels.begin(), levels.begin() + long(levels.size() / 2));
    std::nth_element(firstHalf.begin(), firstHalf.begin() + long(firstHalf.size() / 2), firstHalf.end());
    const double steady = firstHalf[firstHalf.size() / 2];
    std::array<double, 3> out {};
    const double fractions[] = {0.75, 0.5, 0.25};
    for (int f = 0; f < 3; ++f) {
        std::size_t i = levels.size();
        while (i > 0 && levels[i - 1] < fractions[f] * steady)
            --i;
        // The window's middle, in ms before the span's end.
        out[std::size_t(f)] = double(span.last - (span.first + (i ? i - 1 : 0) * 240 + 480)) / 48.0;
    }
    return out;
}

}   // namespace wav
