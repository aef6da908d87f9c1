// The one WAV writer: the bytes of a mono 16-bit PCM WAV file. Header only
// and free of SDL and Qt, so that the sound layer's alert, the maker of the
// shipped sound, the tests and the benchmarks all write the same format.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Wav
{

// A canonical 44-byte header (RIFF, fmt, data), then the samples, all
// little-endian.
inline std::string monoPcm16(const std::vector<std::int16_t> &samples, int rate)
{
    std::string bytes;
    bytes.reserve(44 + samples.size() * 2);
    const auto put16 = [&](std::uint32_t v) {
        bytes += char(v & 0xff);
        bytes += char((v >> 8) & 0xff);
    };
    const auto put32 = [&](std::uint32_t v) {
        put16(v & 0xffff);
        put16(v >> 16);
    };
    const auto dataBytes = std::uint32_t(samples.size() * 2);
    bytes += "RIFF";
    put32(36 + dataBytes);
    bytes += "WAVEfmt ";
    put32(16);
    put16(1); // PCM
    put16(1); // mono
    put32(std::uint32_t(rate));
    put32(std::uint32_t(rate) * 2); // bytes a second
    put16(2);                       // bytes a frame
    put16(16);                      // bits a sample
    bytes += "data";
    put32(dataBytes);
    for (const std::int16_t sample : samples)
        put16(std::uint16_t(sample));
    return bytes;
}

} // namespace Wav
