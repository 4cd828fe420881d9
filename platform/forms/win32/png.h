#pragma once
// A minimal PNG encoder: 8-bit RGB, no filtering, the image data in stored
// (uncompressed) deflate blocks. Larger files than a compressing encoder
// writes, but needs no library.

#include <cstdint>
#include <string>
#include <vector>

namespace forms::win32 {

// rgb holds width * height pixels, three bytes each, rows top to bottom.
std::string EncodePng(int width, int height, const std::vector<std::uint8_t>& rgb);

}  // namespace forms::win32
