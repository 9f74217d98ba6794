#include "tests/fuzz/seeds.h"

#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>

namespace seeds {
namespace {

using Bytes = std::vector<unsigned char>;

// ---- Pictures: a PNG encoder of our own, as stb writes only 8-bit RGB(A) and grey.

enum ColourType { kGrey = 0, kRgb = 2, kPalette = 3, kGreyAlpha = 4, kRgba = 6 };

int samplesPerPixel(int colourType) {
  switch (colourType) {
    case kRgb: return 3;
    case kGreyAlpha: return 2;
    case kRgba: return 4;
    default: return 1;  // grey, or a palette index
  }
}

struct PictureKind {
  const char* name;
  int colourType;
  int depth;
  bool transparency;  // a tRNS chunk: one key colour, or an alpha for each palette entry
  int width = 13;     // odd sizes leave part-filled bytes and uneven interlace passes
  int height = 11;
};

const PictureKind kPictureKinds[] = {
    {"grey-1", kGrey, 1, false},          {"grey-2", kGrey, 2, false},
    {"grey-4", kGrey, 4, false},          {"grey-8", kGrey, 8, false},
    {"grey-16", kGrey, 16, false},        {"grey-8-key", kGrey, 8, true},
    {"grey-alpha-8", kGreyAlpha, 8, false}, {"grey-alpha-16", kGreyAlpha, 16, false},
    {"rgb-8", kRgb, 8, false},            {"rgb-16", kRgb, 16, false},
    {"rgb-8-key", kRgb, 8, true},         {"palette-1", kPalette, 1, false},
    {"palette-2", kPalette, 2, true},     {"palette-4", kPalette, 4, false},
    {"palette-8", kPalette, 8, false},    {"palette-8-alpha", kPalette, 8, true},
    {"rgba-8", kRgba, 8, false},          {"rgba-16", kRgba, 16, false},
    {"rgba-8-tiny", kRgba, 8, false, 3, 2},  // interlaced, most passes are empty
    {"grey-1-single", kGrey, 1, false, 1, 1},
};

struct Picture {
  PictureKind kind;
  bool interlaced = false;
  std::vector<std::uint16_t> samples;  // row by row, samplesPerPixel per pixel
  std::vector<std::array<unsigned char, 4>> palette;
  std::vector<std::uint16_t> key;  // the transparent colour of a grey or RGB picture
};

std::uint16_t pattern(int x, int y, int c, int depth, std::uint32_t levels) {
  const std::uint32_t v = static_cast<std::uint32_t>(x * 37 + y * 101 + c * 59 + (x ^ y) * 13);
  return static_cast<std::uint16_t>(depth == 16 ? (v * 2654435761u) >> 16 : v % levels);
}

Picture makePicture(const PictureKind& kind, bool interlaced) {
  Picture p{kind, interlaced, {}, {}, {}};
  const int spp = samplesPerPixel(kind.colourType);
  std::uint32_t levels = 1u << std::min(kind.depth, 8);
  if (kind.colourType == kPalette) {
    levels = std::min<std::uint32_t>(levels, 200);  // a palette need not fill its index range
    for (std::uint32_t i = 0; i < levels; ++i) {
      p.palette.push_back({static_cast<unsigned char>(i * 37), static_cast<unsigned char>(i * 91 + 10),
                           static_cast<unsigned char>(i * 53 + 200),
                           static_cast<unsigned char>(kind.transparency ? i * 29 : 255)});
    }
  }
  for (int y = 0; y < kind.height; ++y) {
    for (int x = 0; x < kind.width; ++x) {
      for (int c = 0; c < spp; ++c) p.samples.push_back(pattern(x, y, c, kind.depth, levels));
    }
  }
  if (kind.transparency && kind.colourType != kPalette) {
    p.key.assign(p.samples.begin() + spp, p.samples.begin() + 2 * spp);  // the second pixel's colour
  }
  return p;
}

std::uint32_t crc32(const unsigned char* data, std::size_t size) {
  static const auto table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xffffffffu;
  for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xff] ^ (crc >> 8);
  return crc ^ 0xffffffffu;
}

void put32(Bytes& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(v >> shift));
}

void putChunk(Bytes& png, const char* type, const Bytes& body) {
  put32(png, static_cast<std::uint32_t>(body.size()));
  const std::size_t start = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), body.begin(), body.end());
  put32(png, crc32(png.data() + start, png.size() - start));
}

// A zlib stream of stored blocks; the game's own pictures bring the compressed kind.
Bytes storedZlib(const Bytes& data) {
  Bytes z = {0x78, 0x01};
  std::size_t pos = 0;
  do {
    const std::uint16_t length = static_cast<std::uint16_t>(std::min<std::size_t>(data.size() - pos, 65535));
    const std::uint16_t inverse = static_cast<std::uint16_t>(~length);
    z.push_back(pos + length == data.size() ? 1 : 0);
    z.insert(z.end(), {static_cast<unsigned char>(length), static_cast<unsigned char>(length >> 8),
                       static_cast<unsigned char>(inverse), static_cast<unsigned char>(inverse >> 8)});
    z.insert(z.end(), data.begin() + static_cast<long>(pos), data.begin() + static_cast<long>(pos + length));
    pos += length;
  } while (pos < data.size());
  std::uint32_t a = 1, b = 0;
  for (unsigned char byte : data) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  put32(z, b << 16 | a);
  return z;
}

// One row of a pass, samples packed at the picture's depth, high bits first.
Bytes packRow(const Picture& p, int y, int x0, int dx) {
  const int spp = samplesPerPixel(p.kind.colourType);
  const int depth = p.kind.depth;
  Bytes row;
  int bit = 0;
  for (int x = x0; x < p.kind.width; x += dx) {
    for (int c = 0; c < spp; ++c) {
      const std::uint16_t v = p.samples[static_cast<std::size_t>((y * p.kind.width + x) * spp + c)];
      if (depth == 16) {
        row.insert(row.end(), {static_cast<unsigned char>(v >> 8), static_cast<unsigned char>(v)});
      } else if (depth == 8) {
        row.push_back(static_cast<unsigned char>(v));
      } else {
        if (bit == 0) row.push_back(0);
        row.back() = static_cast<unsigned char>(row.back() | v << (8 - depth - bit));
        bit = (bit + depth) % 8;
      }
    }
  }
  return row;
}

int paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// A row behind its filter-type byte; above is the pass's previous row, empty for its first.
Bytes filterRow(const Bytes& row, const Bytes& above, int type, int pixelBytes) {
  Bytes out{static_cast<unsigned char>(type)};
  for (std::size_t i = 0; i < row.size(); ++i) {
    const bool left = i >= static_cast<std::size_t>(pixelBytes);
    const int a = left ? row[i - pixelBytes] : 0;
    const int b = above.empty() ? 0 : above[i];
    const int c = left && !above.empty() ? above[i - pixelBytes] : 0;
    const int predictions[5] = {0, a, b, (a + b) / 2, paeth(a, b, c)};
    out.push_back(static_cast<unsigned char>(row[i] - predictions[type]));
  }
  return out;
}

Bytes scanlines(const Picture& p) {
  const int pixelBytes = std::max(1, samplesPerPixel(p.kind.colourType) * p.kind.depth / 8);
  Bytes data;
  int filterType = 0;  // every row takes the next type, so each unfilter is used
  auto pass = [&](int x0, int y0, int dx, int dy) {
    if (x0 >= p.kind.width || y0 >= p.kind.height) return;  // an empty pass has no rows at all
    Bytes above;
    for (int y = y0; y < p.kind.height; y += dy) {
      const Bytes row = packRow(p, y, x0, dx);
      const Bytes filtered = filterRow(row, above, filterType++ % 5, pixelBytes);
      data.insert(data.end(), filtered.begin(), filtered.end());
      above = row;
    }
  };
  if (!p.interlaced) {
    pass(0, 0, 1, 1);
    return data;
  }
  const int adam7[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                           {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
  for (const auto& s : adam7) pass(s[0], s[1], s[2], s[3]);
  return data;
}

Bytes encodePng(const Picture& p) {
  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  Bytes header;
  put32(header, static_cast<std::uint32_t>(p.kind.width));
  put32(header, static_cast<std::uint32_t>(p.kind.height));
  header.insert(header.end(), {static_cast<unsigned char>(p.kind.depth), static_cast<unsigned char>(p.kind.colourType),
                               0, 0, static_cast<unsigned char>(p.interlaced ? 1 : 0)});
  putChunk(png, "IHDR", header);
  if (!p.palette.empty()) {
    Bytes colours, alphas;
    for (const auto& entry : p.palette) {
      colours.insert(colours.end(), entry.begin(), entry.begin() + 3);
      alphas.push_back(entry[3]);
    }
    putChunk(png, "PLTE", colours);
    if (p.kind.transparency) putChunk(png, "tRNS", alphas);
  }
  if (!p.key.empty()) {
    Bytes key;
    for (std::uint16_t v : p.key) {
      key.insert(key.end(), {static_cast<unsigned char>(v >> 8), static_cast<unsigned char>(v)});
    }
    putChunk(png, "tRNS", key);
  }
  // Two data chunks: a decoder must join them.
  const Bytes z = storedZlib(scanlines(p));
  const std::size_t half = z.size() / 2;
  putChunk(png, "IDAT", Bytes(z.begin(), z.begin() + static_cast<long>(half)));
  putChunk(png, "IDAT", Bytes(z.begin() + static_cast<long>(half), z.end()));
  putChunk(png, "IEND", {});
  return png;
}

unsigned char to8Bit(std::uint16_t v, int depth) {
  if (depth == 16) return static_cast<unsigned char>(v >> 8);
  return static_cast<unsigned char>(v * (255 / ((1 << depth) - 1)));
}

std::vector<unsigned char> expectedRgba(const Picture& p) {
  const int spp = samplesPerPixel(p.kind.colourType);
  const int depth = p.kind.depth;
  std::vector<unsigned char> rgba;
  for (std::size_t i = 0; i < p.samples.size(); i += static_cast<std::size_t>(spp)) {
    const std::uint16_t* s = &p.samples[i];
    std::array<unsigned char, 4> px{};
    switch (p.kind.colourType) {
      case kPalette: px = p.palette[s[0]]; break;
      case kGrey: px = {to8Bit(s[0], depth), to8Bit(s[0], depth), to8Bit(s[0], depth), 255}; break;
      case kGreyAlpha: px = {to8Bit(s[0], depth), to8Bit(s[0], depth), to8Bit(s[0], depth), to8Bit(s[1], depth)}; break;
      case kRgb: px = {to8Bit(s[0], depth), to8Bit(s[1], depth), to8Bit(s[2], depth), 255}; break;
      default: px = {to8Bit(s[0], depth), to8Bit(s[1], depth), to8Bit(s[2], depth), to8Bit(s[3], depth)}; break;
    }
    if (!p.key.empty() && std::equal(p.key.begin(), p.key.end(), s)) px[3] = 0;
    rgba.insert(rgba.end(), px.begin(), px.end());
  }
  return rgba;
}

template <typename Data>
bool writeFile(const std::string& path, const Data& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (out) return true;
  std::fprintf(stderr, "cannot write %s\n", path.c_str());
  return false;
}

// ---- Sounds: libsndfile writes each kind, the game reads them back through it.

struct SoundKind {
  const char* file;
  int format;
  int channels;
  int rate;
};

// Every file is named .wav, as the game names its sounds: the library goes by
// what the file holds, not by its name.
const SoundKind kSoundKinds[] = {
    {"wav-u8.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1, 11025},
    {"wav-16-stereo.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 22050},
    {"wav-24.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 1, 22050},
    {"wav-32.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_32, 1, 8000},
    {"wav-float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 8000},
    {"wav-double.wav", SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 1, 8000},
    {"wav-ulaw.wav", SF_FORMAT_WAV | SF_FORMAT_ULAW, 1, 8000},
    {"wav-alaw.wav", SF_FORMAT_WAV | SF_FORMAT_ALAW, 1, 8000},
    {"wav-ima-adpcm.wav", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 2, 22050},
    {"wav-ms-adpcm.wav", SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM, 1, 22050},
    {"wav-gsm.wav", SF_FORMAT_WAV | SF_FORMAT_GSM610, 1, 8000},
    {"wav-g721.wav", SF_FORMAT_WAV | SF_FORMAT_G721_32, 1, 8000},
    {"wavex-16-stereo.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 2, 22050},
    {"rf64-16.wav", SF_FORMAT_RF64 | SF_FORMAT_PCM_16, 1, 22050},
    {"w64-24.wav", SF_FORMAT_W64 | SF_FORMAT_PCM_24, 1, 22050},
    {"aiff-16.wav", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 2, 22050},
    {"aiff-s8.wav", SF_FORMAT_AIFF | SF_FORMAT_PCM_S8, 1, 11025},
    {"aifc-float.wav", SF_FORMAT_AIFF | SF_FORMAT_FLOAT, 1, 8000},
    {"aifc-ulaw.wav", SF_FORMAT_AIFF | SF_FORMAT_ULAW, 1, 8000},
    {"aifc-ima-adpcm.wav", SF_FORMAT_AIFF | SF_FORMAT_IMA_ADPCM, 1, 8000},
    {"au-16.wav", SF_FORMAT_AU | SF_FORMAT_PCM_16, 1, 8000},
    {"au-g723.wav", SF_FORMAT_AU | SF_FORMAT_G723_24, 1, 8000},
    {"caf-16.wav", SF_FORMAT_CAF | SF_FORMAT_PCM_16, 2, 22050},
    {"caf-alac.wav", SF_FORMAT_CAF | SF_FORMAT_ALAC_16, 1, 22050},
    {"flac-16.wav", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 1, 22050},
    {"flac-24-stereo.wav", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 2, 44100},
    {"ogg-vorbis.wav", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 1, 22050},
    {"ogg-opus.wav", SF_FORMAT_OGG | SF_FORMAT_OPUS, 2, 48000},
    {"mp3.wav", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 1, 22050},
    {"voc-u8.wav", SF_FORMAT_VOC | SF_FORMAT_PCM_U8, 1, 8000},
    {"nist-16.wav", SF_FORMAT_NIST | SF_FORMAT_PCM_16, 1, 8000},
    {"ircam-float.wav", SF_FORMAT_IRCAM | SF_FORMAT_FLOAT, 1, 8000},
    {"paf-24.wav", SF_FORMAT_PAF | SF_FORMAT_PCM_24, 1, 8000},
    {"svx-16.wav", SF_FORMAT_SVX | SF_FORMAT_PCM_16, 1, 8000},
    {"mat5-double.wav", SF_FORMAT_MAT5 | SF_FORMAT_DOUBLE, 1, 8000},
    {"pvf-16.wav", SF_FORMAT_PVF | SF_FORMAT_PCM_16, 1, 8000},
    {"htk-16.wav", SF_FORMAT_HTK | SF_FORMAT_PCM_16, 1, 8000},
    {"sds-16.wav", SF_FORMAT_SDS | SF_FORMAT_PCM_16, 1, 8000},
    {"avr-16.wav", SF_FORMAT_AVR | SF_FORMAT_PCM_16, 1, 8000},
    {"xi-dpcm.wav", SF_FORMAT_XI | SF_FORMAT_DPCM_16, 1, 44100},  // XI has no rate of its own
    {"wve-alaw.wav", SF_FORMAT_WVE | SF_FORMAT_ALAW, 1, 8000},
    {"mpc2k-16.wav", SF_FORMAT_MPC2K | SF_FORMAT_PCM_16, 2, 22050},
};

constexpr double kSoundSeconds = 0.1;  // small seeds: the fuzzer mutates them faster

bool writeSound(const std::string& path, const SoundKind& kind, long frames) {
  SF_INFO info{};
  info.samplerate = kind.rate;
  info.channels = kind.channels;
  info.format = kind.format;
  if (!sf_format_check(&info)) {
    std::fprintf(stderr, "libsndfile cannot write %s here\n", path.c_str());
    return false;
  }
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (file == nullptr) {
    std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), sf_strerror(nullptr));
    return false;
  }
  // A tone, a fifth higher on the right, at half of full scale, faded in and
  // out over 10 ms so that lossy codecs do not ring at a sudden edge.
  std::vector<double> samples;
  const double fade = 0.01 * kind.rate;
  for (long i = 0; i < frames; ++i) {
    const double edge = std::min({1.0, static_cast<double>(i) / fade, static_cast<double>(frames - 1 - i) / fade});
    for (int c = 0; c < kind.channels; ++c) {
      const double phase = 2.0 * M_PI * 440.0 * (1.0 + 0.5 * c) * static_cast<double>(i) / kind.rate;
      samples.push_back(0.5 * edge * std::sin(phase));
    }
  }
  const bool complete = sf_writef_double(file, samples.data(), frames) == frames;
  sf_close(file);
  return complete;
}

}  // namespace

std::vector<PictureSeed> writePictureSeeds(const std::string& dir) {
  std::vector<PictureSeed> written;
  for (const PictureKind& kind : kPictureKinds) {
    for (bool interlaced : {false, true}) {
      const Picture picture = makePicture(kind, interlaced);
      PictureSeed seed{std::string(kind.name) + (interlaced ? "-interlaced" : "") + ".png", kind.width,
                       kind.height, expectedRgba(picture)};
      if (writeFile(dir + "/" + seed.file, encodePng(picture))) written.push_back(seed);
    }
  }
  return written;
}

std::vector<SoundSeed> writeSoundSeeds(const std::string& dir) {
  std::vector<SoundSeed> written;
  for (const SoundKind& kind : kSoundKinds) {
    const long frames = std::lround(kSoundSeconds * kind.rate);
    if (writeSound(dir + "/" + kind.file, kind, frames)) {
      written.push_back({kind.file, kind.channels, kind.rate, frames});
    }
  }
  return written;
}

}  // namespace seeds
