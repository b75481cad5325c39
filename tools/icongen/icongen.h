// Builds Windows .ico files from plain-text pixel pictures, so that the
// program's icons stay reviewable as text and reproducible byte for byte.
//
// Text format (one directive a line, '#' starts a comment line):
//   size W H          the picture's width and height in pixels
//   bits 1|4          colour depth: 1 = black and white, 4 = the standard
//                     16-colour palette
//   color C N [name]  the character C stands for palette index N
//   transparent C     the character C stands for a transparent pixel
//   pixels            followed by exactly H lines of W characters
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace strennix::icongen {

class IconTextError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr int kTransparent = -1;

struct IconPicture {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 4;
  // Row by row from the top; a palette index or kTransparent.
  std::vector<int> pixels;
};

// Throws IconTextError, naming the line, when the text is malformed.
IconPicture parseIconText(std::string_view text);

// A .ico file with one image: ICONDIR, one ICONDIRENTRY, a BITMAPINFOHEADER
// of twice the height (XOR and AND bitmaps), the palette, the bottom-up XOR
// bitmap and the AND mask (set only for transparent pixels).
std::vector<std::uint8_t> encodeIco(const IconPicture& picture);

}  // namespace strennix::icongen
