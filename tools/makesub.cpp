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

void put16(std::ofstream &out, std::uint16_t v)
{
    const char bytes[2] = {char(v & 0xff), char(v >> 8)};
    out.write(bytes, 2);
}

void put32(std::ofstream &out, std::uint32_t v)
{
    put16(out, std::uint16_t(v & 0xffff));
    put16(out, std::uint16_t(v >> 16));
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

    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    if (!out) {
        std::fprintf(stderr, "makesub: cannot write %s\n", argv[1]);
        return 1;
    }
    const auto dataBytes = std::uint32_t(mix.size() * 2);
    out.write("RIFF", 4);
    put32(out, 36 + dataBytes);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, 1); // mono
    put32(out, Rate);
    put32(out, Rate * 2);
    put16(out, 2);
    put16(out, 16);
    out.write("data", 4);
    put32(out, dataBytes);
    for (double value : mix) {
        const double clipped = std::clamp(value, -1.0, 1.0);
        put16(out, std::uint16_t(std::int16_t(std::lround(clipped * 32767))));
    }
    out.close();
    if (!out) {
        std::fprintf(stderr, "makesub: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
