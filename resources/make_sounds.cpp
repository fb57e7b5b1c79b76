// Writes the nine page-change chimes: 22050 Hz, mono, 16-bit PCM WAV files.
// Sounds 1 to 7 last 3.25 s, sound 8 lasts 3.75 s, sound 9 lasts 4.25 s.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

struct Note {
    double start;  // seconds
    double freq;   // Hz
    double decay;  // per second
    double volume; // 0..1
};

// Semitones above A4.
double pitch(int semitones) {
    return 440.0 * std::pow(2.0, semitones / 12.0);
}

std::vector<Note> chime(int n) {
    // C5=3, D5=5, E5=7, G5=10, A5=12, C6=15, E6=19
    switch (n) {
    case 1:
        return {{0, pitch(3), 2.5, 1}, {0.25, pitch(7), 2.5, 1}, {0.5, pitch(10), 2.0, 1}};
    case 2:
        return {{0, pitch(10), 2.5, 1}, {0.25, pitch(7), 2.5, 1}, {0.5, pitch(3), 2.0, 1}};
    case 3:
        return {{0, pitch(7), 1.8, 1}, {0.45, pitch(3), 1.5, 1}};
    case 4:
        return {{0, pitch(-2), 1.5, 1}, {0.0, pitch(5), 1.5, 0.6}, {0.0, pitch(10), 1.5, 0.4}};
    case 5:
        return {{0, pitch(3), 3, 0.9},
                {0.15, pitch(5), 3, 0.9},
                {0.3, pitch(7), 3, 0.9},
                {0.45, pitch(10), 3, 0.9},
                {0.6, pitch(12), 2, 1}};
    case 6:
        return {{0, pitch(15), 1.2, 0.8}, {0.0, pitch(3), 1.2, 0.5}};
    case 7:
        return {{0, pitch(12), 4, 1}, {0.12, pitch(12), 4, 0.8}, {0.4, pitch(7), 2, 1}};
    case 8:
        return {{0, pitch(3), 2, 1},
                {0.4, pitch(10), 2, 1},
                {0.8, pitch(7), 2, 1},
                {1.2, pitch(15), 1.5, 1}};
    default:
        return {{0, pitch(19), 2, 0.8},
                {0.3, pitch(15), 2, 0.8},
                {0.6, pitch(12), 2, 0.8},
                {0.9, pitch(10), 2, 0.8},
                {1.4, pitch(3), 1.2, 1}};
    }
}

void put16(std::ofstream &out, std::uint16_t v) {
    const char b[2] = {char(v & 0xFF), char(v >> 8)};
    out.write(b, 2);
}
void put32(std::ofstream &out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.put(char((v >> (8 * i)) & 0xFF));
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_sounds DIRECTORY\n");
        return 2;
    }
    for (int n = 1; n <= 9; ++n) {
        const double seconds = n <= 7 ? 3.25 : n == 8 ? 3.75 : 4.25;
        const int count = int(std::floor(seconds * kRate + 0.5));
        std::vector<double> mix(std::size_t(count), 0.0);
        for (const Note &note : chime(n)) {
            const int first = int(note.start * kRate);
            for (int i = first; i < count; ++i) {
                const double t = double(i - first) / kRate;
                const double env = std::exp(-note.decay * t) * std::min(1.0, t * 400.0);
                // A bell: the fundamental with two softer, slightly inharmonic partials.
                const double s = std::sin(2 * kPi * note.freq * t) +
                                 0.35 * std::sin(2 * kPi * note.freq * 2.01 * t) +
                                 0.12 * std::sin(2 * kPi * note.freq * 3.03 * t);
                mix[std::size_t(i)] += note.volume * env * s;
            }
        }
        double peak = 1e-9;
        for (double v : mix)
            peak = std::max(peak, std::abs(v));
        const std::string path = std::string(argv[1]) + "/" + std::to_string(n) + ".wav";
        std::ofstream out(path, std::ios::binary);
        const std::uint32_t dataSize = std::uint32_t(count) * 2;
        out.write("RIFF", 4);
        put32(out, 36 + dataSize);
        out.write("WAVEfmt ", 8);
        put32(out, 16);
        put16(out, 1);
        put16(out, 1);
        put32(out, kRate);
        put32(out, kRate * 2);
        put16(out, 2);
        put16(out, 16);
        out.write("data", 4);
        put32(out, dataSize);
        for (int i = 0; i < count; ++i) {
            // A short fade at the end so the last sample is silence.
            const double fade = std::min(1.0, double(count - i) / (0.05 * kRate));
            put16(out, std::uint16_t(std::int16_t(
                           std::lround(mix[std::size_t(i)] / peak * 0.6 * fade * 32767))));
        }
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
