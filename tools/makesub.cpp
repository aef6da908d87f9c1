// Makes the shipped default sound "sub.wav": two soft chime notes, a fifth
// apart, computed here so the project ships no sound it did not make.
// Usage: makesub <output path>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <vector>

#include "wavwriter.h"

namespace
{

constexpr int Rate = 44100;
constexpr double Seconds = 1.0;

// A bell-like note: the fundamental with a few softer, faster-dying
// overtones; a short attack avoids a click.
void addChime(std::vector<double> &mix, double start, double frequency, double loudness)
{
    struct Partial {
        double ratio, level, decay;
    };
    const Partial partials[] = {
        {1.0, 1.0, 3.2}, {2.0, 0.35, 5.5}, {3.01, 0.12, 8.0}, {4.2, 0.05, 11.0}};
    const auto first = std::size_t(start * Rate);
    for (std::size_t i = first; i < mix.size(); ++i) {
        const double t = double(i - first) / Rate;
        const double attack = std::min(1.0, t / 0.008);
        double value = 0;
        for (const Partial &p : partials)
            value += p.level * std::exp(-t * p.decay) *
                     std::sin(2 * std::numbers::pi * frequency * p.ratio * t);
        mix[i] += loudness * attack * value;
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: makesub <output path>\n");
        return 2;
    }
    std::vector<double> mix(std::size_t(Rate * Seconds), 0.0);
    addChime(mix, 0.00, 784.0, 0.30);  // G5
    addChime(mix, 0.18, 1174.7, 0.24); // D6
    // Fade the tail to silence so the sound ends cleanly.
    const std::size_t fade = Rate / 10;
    for (std::size_t i = 0; i < fade; ++i)
        mix[mix.size() - 1 - i] *= double(i) / fade;

    std::vector<std::int16_t> samples;
    samples.reserve(mix.size());
    for (double value : mix)
        samples.push_back(std::int16_t(std::lround(std::clamp(value, -1.0, 1.0) * 32767)));
    const std::string wav = Wav::monoPcm16(samples, Rate);

    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    if (!out) {
        std::fprintf(stderr, "makesub: cannot write %s\n", argv[1]);
        return 1;
    }
    out.write(wav.data(), std::streamsize(wav.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "makesub: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
