#pragma once
// The program's four embedded assets, each made from code so that it can be changed by
// editing the generator and rerunning it. Every function returns the whole file and gives
// the same bytes on every run: no clock, and noise only from fixed seeds.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace densilo::assetgen {

using Bytes = std::vector<std::uint8_t>;

Bytes make_background();  // background.jpg: 1366 x 768 baseline JFIF
Bytes make_icon();        // densilo.ico: one 64 x 64 image, 24 bits per pixel
Bytes make_tune();        // tune.mid: Standard MIDI File, format 0
Bytes make_click();       // click.wav: 16-bit stereo PCM at 22,050 Hz

struct Asset {
  std::string_view file_name;
  Bytes (*make)();
};

inline constexpr Asset kAssets[] = {
    {"background.jpg", make_background},
    {"densilo.ico", make_icon},
    {"tune.mid", make_tune},
    {"click.wav", make_click},
};

// Little- and big-endian appenders shared by the binary formats.
inline void put_le16(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFFu));
  out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFFu));
}
inline void put_le32(Bytes& out, std::uint32_t v) {
  put_le16(out, v & 0xFFFFu);
  put_le16(out, v >> 16);
}
inline void put_be16(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFFu));
  out.push_back(static_cast<std::uint8_t>(v & 0xFFu));
}
inline void put_be32(Bytes& out, std::uint32_t v) {
  put_be16(out, v >> 16);
  put_be16(out, v & 0xFFFFu);
}
inline void put_text(Bytes& out, std::string_view s) {
  for (char c : s)
    out.push_back(static_cast<std::uint8_t>(c));
}

// A small fixed-seed generator (xorshift32) for the dither and noise: the standard
// library's engines are fixed too, but their distributions are not, across libraries.
class Noise {
 public:
  explicit Noise(std::uint32_t seed) : state_(seed != 0 ? seed : 1u) {}
  std::uint32_t next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  // Uniform in [-0.5, 0.5).
  double uniform() { return static_cast<double>(next() >> 8) / 16777216.0 - 0.5; }

 private:
  std::uint32_t state_;
};

}  // namespace densilo::assetgen
