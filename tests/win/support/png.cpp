#include "png.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <string_view>

namespace densilo::test {
namespace {

constexpr std::array<std::uint32_t, 256> make_crc_table() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) {
      c = (c & 1u) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    }
    table[n] = c;
  }
  return table;
}

constexpr auto kCrcTable = make_crc_table();

void put_u32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 24));
  out.push_back(static_cast<std::uint8_t>(v >> 16));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

void put_chunk(std::vector<std::uint8_t>& out, std::string_view type,
               std::span<const std::uint8_t> data) {
  put_u32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t type_at = out.size();
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  // The checksum covers the type and the data, not the length.
  put_u32(out, crc32(std::span(out).subspan(type_at)));
}

// A zlib stream of stored deflate blocks; each block holds at most 65,535 bytes.
std::vector<std::uint8_t> zlib_stored(std::span<const std::uint8_t> raw) {
  std::vector<std::uint8_t> out{0x78, 0x01};
  std::size_t at = 0;
  do {
    const std::size_t n = std::min<std::size_t>(raw.size() - at, 0xFFFF);
    const bool last = at + n == raw.size();
    out.push_back(last ? 1 : 0);
    out.push_back(static_cast<std::uint8_t>(n));
    out.push_back(static_cast<std::uint8_t>(n >> 8));
    out.push_back(static_cast<std::uint8_t>(~n));
    out.push_back(static_cast<std::uint8_t>(~n >> 8));
    out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
               raw.begin() + static_cast<std::ptrdiff_t>(at + n));
    at += n;
  } while (at < raw.size());
  put_u32(out, adler32(raw));
  return out;
}

}  // namespace

std::uint32_t crc32(std::span<const std::uint8_t> bytes, std::uint32_t crc) {
  crc = ~crc;
  for (std::uint8_t b : bytes) {
    crc = kCrcTable[(crc ^ b) & 0xFFu] ^ (crc >> 8);
  }
  return ~crc;
}

std::uint32_t adler32(std::span<const std::uint8_t> bytes) {
  constexpr std::uint32_t kMod = 65521;
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (std::uint8_t byte : bytes) {
    a = (a + byte) % kMod;
    b = (b + a) % kMod;
  }
  return (b << 16) | a;
}

std::vector<std::uint8_t> encode_png(const Image& image) {
  const auto width = static_cast<std::size_t>(image.width);
  const auto height = static_cast<std::size_t>(image.height);

  // Each row: filter type 0 (none), then red, green, blue per pixel.
  std::vector<std::uint8_t> raw;
  raw.reserve(height * (1 + 3 * width));
  for (std::size_t y = 0; y < height; ++y) {
    raw.push_back(0);
    for (std::size_t x = 0; x < width; ++x) {
      const std::uint32_t p = image.pixels[y * width + x];
      raw.push_back(static_cast<std::uint8_t>(p >> 16));
      raw.push_back(static_cast<std::uint8_t>(p >> 8));
      raw.push_back(static_cast<std::uint8_t>(p));
    }
  }

  std::vector<std::uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  put_u32(header, static_cast<std::uint32_t>(width));
  put_u32(header, static_cast<std::uint32_t>(height));
  // 8 bits per sample, truecolour, deflate, adaptive filtering, no interlace.
  header.insert(header.end(), {8, 2, 0, 0, 0});
  put_chunk(out, "IHDR", header);
  put_chunk(out, "IDAT", zlib_stored(raw));
  put_chunk(out, "IEND", {});
  return out;
}

bool save_png(const std::filesystem::path& path, const Image& image) {
  const std::vector<std::uint8_t> bytes = encode_png(image);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file.flush());
}

}  // namespace densilo::test
