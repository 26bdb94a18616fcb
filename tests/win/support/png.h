// A small PNG writer for screenshots taken by tests: 8-bit RGB, stored (uncompressed) deflate
// blocks, so it needs no compression library.
#ifndef DENSILO_TESTS_WIN_SUPPORT_PNG_H
#define DENSILO_TESTS_WIN_SUPPORT_PNG_H

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "image.h"

namespace densilo::test {

std::uint32_t crc32(std::span<const std::uint8_t> bytes,
                    std::uint32_t crc = 0);  // continue from a previous result
std::uint32_t adler32(std::span<const std::uint8_t> bytes);

std::vector<std::uint8_t> encode_png(const Image& image);

// False if the file cannot be written.
bool save_png(const std::filesystem::path& path, const Image& image);

}  // namespace densilo::test

#endif
