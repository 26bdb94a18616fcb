#pragma once
// Reading the committed assets and the little-endian and big-endian fields inside them.

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace densilo::asset_test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes read_asset(const std::string& name) {
  std::ifstream in(std::string(DENSILO_ASSETS_DIR) + "/" + name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Out-of-range reads give 0 rather than touching memory past the file: a broken file then
// fails the value checks instead of crashing the test.
inline std::uint32_t le16(const Bytes& b, std::size_t at) {
  if (at + 2 > b.size())
    return 0;
  return std::uint32_t{b[at]} | std::uint32_t{b[at + 1]} << 8;
}
inline std::uint32_t le32(const Bytes& b, std::size_t at) {
  if (at + 4 > b.size())
    return 0;
  return le16(b, at) | le16(b, at + 2) << 16;
}
inline std::uint32_t be16(const Bytes& b, std::size_t at) {
  if (at + 2 > b.size())
    return 0;
  return std::uint32_t{b[at]} << 8 | std::uint32_t{b[at + 1]};
}
inline std::uint32_t be32(const Bytes& b, std::size_t at) {
  if (at + 4 > b.size())
    return 0;
  return be16(b, at) << 16 | be16(b, at + 2);
}
inline std::string tag(const Bytes& b, std::size_t at, std::size_t n) {
  if (at + n > b.size())
    return {};
  return std::string(b.begin() + static_cast<std::ptrdiff_t>(at),
                     b.begin() + static_cast<std::ptrdiff_t>(at + n));
}

}  // namespace densilo::asset_test
