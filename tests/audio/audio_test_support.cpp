#include "audio_test_support.h"

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace audiotest {
namespace {

constexpr double kPi = 3.14159265358979323846;

void putLe(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

std::uint32_t readLe32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Offset of the sample data in a WAV being written: its sizes are not final yet,
// so walk the chunks up to "data" and take everything after it.
std::size_t dataOffset(const std::string& bytes) {
  std::size_t at = 12;
  while (at + 8 <= bytes.size()) {
    if (bytes.compare(at, 4, "data") == 0) return at + 8;
    at += 8 + readLe32(bytes, at + 4);
  }
  return bytes.size();
}

class ScratchDir {
 public:
  ScratchDir() {
    char pattern[] = "/tmp/nombre_audio_XXXXXX";
    if (mkdtemp(pattern)) path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  std::string path_;
};

}  // namespace

const std::string& scratchDir() {
  static ScratchDir dir;
  return dir.path_;
}

std::string scratchPath(const std::string& name) { return scratchDir() + "/" + name; }

Samples steady(double seconds, std::int16_t level) {
  return Samples(static_cast<std::size_t>(std::lround(seconds * kRate)), level);
}

Samples sine(double seconds, double hz, double amplitude) {
  const long cycles = std::lround(seconds * hz);
  const long length = std::lround(cycles * kRate / hz);
  Samples out(static_cast<std::size_t>(length));
  for (long i = 0; i < length; ++i) {
    out[static_cast<std::size_t>(i)] =
        static_cast<std::int16_t>(std::lround(amplitude * std::sin(2 * kPi * hz * i / kRate)));
  }
  return out;
}

std::string wavBytes(const Samples& samples, int channels, int rate) {
  const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
  std::string out = "RIFF";
  putLe(out, 36 + dataBytes, 4);
  out += "WAVEfmt ";
  putLe(out, 16, 4);
  putLe(out, 1, 2);
  putLe(out, static_cast<std::uint32_t>(channels), 2);
  putLe(out, static_cast<std::uint32_t>(rate), 4);
  putLe(out, static_cast<std::uint32_t>(rate * channels * 2), 4);
  putLe(out, static_cast<std::uint32_t>(channels * 2), 2);
  putLe(out, 16, 2);
  out += "data";
  putLe(out, dataBytes, 4);
  for (std::int16_t sample : samples) putLe(out, static_cast<std::uint16_t>(sample), 2);
  return out;
}

bool writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

std::string writeWav(const std::string& name, const Samples& samples, int channels) {
  const std::string path = scratchPath(name);
  writeFile(path, wavBytes(samples, channels));
  return path;
}

void sleepSeconds(double seconds) {
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

Capture::Capture() : path_(scratchPath("mixed.wav")) {
  const std::string config = scratchPath("alsoft.conf");
  writeFile(config,
            "[general]\ndrivers = wave\nsample-type = int16\nchannels = mono\n"
            "frequency = " + std::to_string(kRate) + "\n[wave]\nfile = " + path_ + "\n");
  setenv("ALSOFT_CONF", config.c_str(), 1);
  unsetenv("ALSOFT_DRIVERS");  // would override the config's driver list
}

Capture& Capture::get() {
  static Capture capture;
  return capture;
}

long Capture::mark() const {
  const std::string bytes = readAll(path_);
  return static_cast<long>((bytes.size() - dataOffset(bytes)) / 2);
}

Samples Capture::since(long mark) const {
  const std::string bytes = readAll(path_);
  const std::size_t start = dataOffset(bytes) + static_cast<std::size_t>(mark) * 2;
  Samples out;
  for (std::size_t at = start; at + 1 < bytes.size(); at += 2) {
    const auto low = static_cast<unsigned char>(bytes[at]);
    const auto high = static_cast<unsigned char>(bytes[at + 1]);
    out.push_back(static_cast<std::int16_t>(low | high << 8));
  }
  return out;
}

std::vector<Block> blocks(const Samples& samples, int blockSamples) {
  std::vector<Block> out;
  for (std::size_t at = 0; at + static_cast<std::size_t>(blockSamples) <= samples.size();
       at += static_cast<std::size_t>(blockSamples)) {
    double sum = 0, squares = 0;
    for (int i = 0; i < blockSamples; ++i) {
      sum += samples[at + i];
      squares += static_cast<double>(samples[at + i]) * samples[at + i];
    }
    const double mean = sum / blockSamples;
    out.push_back({mean, std::sqrt(std::max(0.0, squares / blockSamples - mean * mean))});
  }
  return out;
}

long onset(const Samples& samples, int threshold, long from) {
  for (std::size_t i = static_cast<std::size_t>(std::max(from, 0L)); i < samples.size(); ++i) {
    if (std::abs(samples[i]) > threshold) return static_cast<long>(i);
  }
  return -1;
}

int peak(const Samples& samples, long from, long to) {
  const long end = to < 0 ? static_cast<long>(samples.size()) : std::min<long>(to, samples.size());
  int largest = 0;
  for (long i = std::max(from, 0L); i < end; ++i) largest = std::max(largest, std::abs(int{samples[i]}));
  return largest;
}

}  // namespace audiotest
