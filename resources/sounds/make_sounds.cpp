// Writes the board's short sounds as 16-bit mono WAV files into the folder given: synthesised
// here at build time, so no recorded sound is shipped or fetched.
//
//   brisolt-make-sounds OUTPUT_FOLDER
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

// A tone of a frequency with a quick attack and an exponential decay.
void addTone(std::vector<double>& out, double start, double seconds, double hz, double level,
             double decay) {
    const auto first = static_cast<size_t>(start * kRate);
    const auto count = static_cast<size_t>(seconds * kRate);
    if (out.size() < first + count) out.resize(first + count, 0.0);
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double attack = std::min(1.0, t / 0.004);
        out[first + i] += level * attack * std::exp(-t * decay) * std::sin(2 * kPi * hz * t);
    }
}

// A wooden knock: a low thump and a few inharmonic partials that die out fast.
void addKnock(std::vector<double>& out, double start, double level) {
    addTone(out, start, 0.09, 190, level, 45);
    addTone(out, start, 0.05, 523, level * 0.45, 80);
    addTone(out, start, 0.03, 1187, level * 0.25, 140);
}

bool writeWav(const std::string& path, const std::vector<double>& samples) {
    std::ofstream file(path, std::ios::binary);
    if (!file) return false;
    auto put32 = [&file](uint32_t v) { file.write(reinterpret_cast<const char*>(&v), 4); };
    auto put16 = [&file](uint16_t v) { file.write(reinterpret_cast<const char*>(&v), 2); };
    const auto bytes = static_cast<uint32_t>(samples.size() * 2);
    file.write("RIFF", 4);
    put32(36 + bytes);
    file.write("WAVEfmt ", 8);
    put32(16);
    put16(1); // PCM
    put16(1); // mono
    put32(kRate);
    put32(kRate * 2);
    put16(2);
    put16(16);
    file.write("data", 4);
    put32(bytes);
    for (double s : samples) {
        const double clipped = std::max(-1.0, std::min(1.0, s));
        put16(static_cast<uint16_t>(static_cast<int16_t>(std::lround(clipped * 32000))));
    }
    return static_cast<bool>(file);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: brisolt-make-sounds OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    std::vector<double> move, capture, check, success, failure;
    addKnock(move, 0, 0.8);
    addKnock(capture, 0, 0.9);
    addKnock(capture, 0.055, 0.7);
    addTone(check, 0, 0.12, 880, 0.45, 18);
    addTone(check, 0.1, 0.16, 660, 0.45, 16);
    addTone(success, 0, 0.14, 523.25, 0.4, 10);
    addTone(success, 0.09, 0.14, 659.25, 0.4, 10);
    addTone(success, 0.18, 0.3, 783.99, 0.4, 8);
    addTone(failure, 0, 0.16, 311.13, 0.45, 8);
    addTone(failure, 0.14, 0.3, 233.08, 0.45, 7);
    const struct {
        const char* name;
        const std::vector<double>& samples;
    } files[] = {{"move", move},
                 {"capture", capture},
                 {"check", check},
                 {"success", success},
                 {"failure", failure}};
    for (const auto& f : files) {
        const std::string path = folder + "/" + f.name + ".wav";
        if (!writeWav(path, f.samples)) {
            std::fprintf(stderr, "brisolt-make-sounds: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
