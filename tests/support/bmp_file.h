// Reads the 24-bit uncompressed bottom-up BMP files the programs write, checking every header
// field a standard reader relies on against the file itself.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/temp_dir.h"

namespace brx::test {

struct Bmp {
  std::string fault;  // empty for a well-formed file, else the first header field that is wrong
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0xRRGGBB, rows from the top
  std::uint32_t at(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
};

inline Bmp read_bmp(const std::filesystem::path& file) {
  const std::string b = TempDir::read(file);
  Bmp p;
  if (b.size() < 54) {
    p.fault = "shorter than its headers";
    return p;
  }
  const auto byte = [&](std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at]));
  };
  const auto u16 = [&](std::size_t at) { return byte(at) | byte(at + 1) << 8; };
  const auto u32 = [&](std::size_t at) { return u16(at) | u16(at + 2) << 16; };
  const std::uint32_t width = u32(18), height = u32(22);
  const std::uint32_t row = (width * 3 + 3) / 4 * 4;
  const std::pair<bool, const char*> checks[] = {
      {b.compare(0, 2, "BM") == 0, "signature"},
      {u32(2) == b.size(), "file size"},
      {u32(6) == 0, "reserved words"},
      {u32(10) == 54, "pixel data offset"},
      {u32(14) == 40, "information header size"},
      {u16(26) == 1, "planes"},
      {u16(28) == 24, "bits per pixel"},
      {u32(30) == 0, "compression"},
      {u32(34) == row * height && b.size() == 54 + row * height, "image size"},
  };
  for (const auto& [ok, field] : checks) {
    if (!ok) {
      p.fault = field;
      return p;
    }
  }
  p.width = static_cast<int>(width);
  p.height = static_cast<int>(height);
  for (std::uint32_t y = height; y-- > 0;) {  // the last row in the file is the top one
    for (std::size_t at = 54 + row * y; at < 54 + row * y + 3 * width; at += 3)
      p.pixels.push_back(byte(at + 2) << 16 | byte(at + 1) << 8 | byte(at));
  }
  return p;
}

}  // namespace brx::test
