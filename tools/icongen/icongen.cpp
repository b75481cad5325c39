#include "tools/icongen/icongen.h"

#include <array>
#include <map>
#include <sstream>

namespace strennix::icongen {
namespace {

struct Rgb {
  std::uint8_t r, g, b;
};

// The standard VGA order used by 16-colour Windows icons.
constexpr std::array<Rgb, 16> kPalette16 = {{{0x00, 0x00, 0x00},
                                             {0x80, 0x00, 0x00},
                                             {0x00, 0x80, 0x00},
                                             {0x80, 0x80, 0x00},
                                             {0x00, 0x00, 0x80},
                                             {0x80, 0x00, 0x80},
                                             {0x00, 0x80, 0x80},
                                             {0xC0, 0xC0, 0xC0},
                                             {0x80, 0x80, 0x80},
                                             {0xFF, 0x00, 0x00},
                                             {0x00, 0xFF, 0x00},
                                             {0xFF, 0xFF, 0x00},
                                             {0x00, 0x00, 0xFF},
                                             {0xFF, 0x00, 0xFF},
                                             {0x00, 0xFF, 0xFF},
                                             {0xFF, 0xFF, 0xFF}}};
constexpr std::array<Rgb, 2> kPalette2 = {{{0x00, 0x00, 0x00}, {0xFF, 0xFF, 0xFF}}};

[[noreturn]] void fail(int line, const std::string& what) {
  throw IconTextError("line " + std::to_string(line) + ": " + what);
}

int paletteSize(int bits) { return bits == 1 ? 2 : 16; }

// Rows of a DIB are padded to whole 32-bit words.
int rowBytes(int width, int bits) { return ((width * bits + 31) / 32) * 4; }

void put16(std::vector<std::uint8_t>& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void put32(std::vector<std::uint8_t>& out, unsigned value) {
  put16(out, value & 0xFFFF);
  put16(out, value >> 16);
}

std::vector<std::uint8_t> packRows(const IconPicture& picture, int bits, bool mask) {
  const int stride = rowBytes(picture.width, bits);
  std::vector<std::uint8_t> out;
  for (int y = picture.height - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(static_cast<std::size_t>(stride), 0);
    for (int x = 0; x < picture.width; ++x) {
      const int pixel = picture.pixels[static_cast<std::size_t>(y) * picture.width + x];
      const unsigned value =
          mask ? (pixel == kTransparent ? 1U : 0U) : (pixel == kTransparent ? 0U : unsigned(pixel));
      const int bit = x * bits;
      const int shift = 8 - bits - (bit % 8);
      row[static_cast<std::size_t>(bit / 8)] |= static_cast<std::uint8_t>(value << shift);
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

// Reads the text line by line: directives first, then the pixel rows.
class IconTextParser {
 public:
  void take(std::string line) {
    ++number_;
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    if (inPixels_) {
      pixelRow(line);
    } else if (!line.empty() && line[0] != '#') {
      directive(line);
    }
  }

  IconPicture finish() {
    for (const auto& [symbol, index] : legend_) {
      if (index >= paletteSize(picture_.bitsPerPixel)) {
        fail(number_, std::string("colour of '") + symbol + "' is outside the palette");
      }
    }
    if (!complete()) {
      fail(number_, "fewer pixel rows than the size says");
    }
    return picture_;
  }

 private:
  [[nodiscard]] bool complete() const {
    return static_cast<int>(picture_.pixels.size()) == picture_.width * picture_.height;
  }

  void pixelRow(const std::string& line) {
    if (complete()) {
      if (!line.empty()) {
        fail(number_, "more pixel rows than the size says");
      }
      return;
    }
    if (static_cast<int>(line.size()) != picture_.width) {
      fail(number_, "a pixel row must have " + std::to_string(picture_.width) + " characters");
    }
    for (const char c : line) {
      const auto found = legend_.find(c);
      if (found == legend_.end()) {
        fail(number_, std::string("character '") + c + "' is not in the legend");
      }
      picture_.pixels.push_back(found->second);
    }
  }

  void directive(const std::string& line) {
    std::istringstream words(line);
    std::string name;
    words >> name;
    if (name == "size") {
      size(words);
    } else if (name == "bits") {
      if (!(words >> picture_.bitsPerPixel) ||
          (picture_.bitsPerPixel != 1 && picture_.bitsPerPixel != 4)) {
        fail(number_, "bits must be 1 or 4");
      }
    } else if (name == "color") {
      colour(words);
    } else if (name == "transparent") {
      std::string symbol;
      if (!(words >> symbol) || symbol.size() != 1) {
        fail(number_, "transparent needs one character");
      }
      legend_[symbol[0]] = kTransparent;
    } else if (name == "pixels") {
      if (!sized_) {
        fail(number_, "pixels before size");
      }
      inPixels_ = true;
    } else {
      fail(number_, "unknown directive '" + name + "'");
    }
  }

  void size(std::istringstream& words) {
    if (!(words >> picture_.width >> picture_.height) || picture_.width < 1 ||
        picture_.width > 255 || picture_.height < 1 || picture_.height > 255) {
      fail(number_, "size needs a width and a height from 1 to 255");
    }
    sized_ = true;
  }

  void colour(std::istringstream& words) {
    std::string symbol;
    int index = -1;
    if (!(words >> symbol >> index) || symbol.size() != 1 || index < 0 || index > 15) {
      fail(number_, "color needs one character and a palette index");
    }
    legend_[symbol[0]] = index;
  }

  IconPicture picture_;
  std::map<char, int> legend_;
  bool sized_ = false;
  bool inPixels_ = false;
  int number_ = 0;
};

}  // namespace

IconPicture parseIconText(std::string_view text) {
  IconTextParser parser;
  std::istringstream in{std::string(text)};
  std::string line;
  while (std::getline(in, line)) {
    parser.take(line);
  }
  return parser.finish();
}

std::vector<std::uint8_t> encodeIco(const IconPicture& picture) {
  const int bits = picture.bitsPerPixel;
  const int colours = paletteSize(bits);
  const std::vector<std::uint8_t> xorBits = packRows(picture, bits, false);
  const std::vector<std::uint8_t> andBits = packRows(picture, 1, true);
  const auto imageBytes = static_cast<unsigned>(xorBits.size() + andBits.size());
  const unsigned headerBytes = 40;
  const unsigned resourceBytes = headerBytes + unsigned(colours) * 4 + imageBytes;
  const unsigned imageOffset = 6 + 16;

  std::vector<std::uint8_t> out;
  // ICONDIR
  put16(out, 0);
  put16(out, 1);
  put16(out, 1);
  // ICONDIRENTRY
  out.push_back(static_cast<std::uint8_t>(picture.width));
  out.push_back(static_cast<std::uint8_t>(picture.height));
  out.push_back(static_cast<std::uint8_t>(colours));
  out.push_back(0);
  put16(out, 1);
  put16(out, unsigned(bits));
  put32(out, resourceBytes);
  put32(out, imageOffset);
  // BITMAPINFOHEADER: the height counts the XOR and the AND bitmap.
  put32(out, headerBytes);
  put32(out, unsigned(picture.width));
  put32(out, unsigned(picture.height * 2));
  put16(out, 1);
  put16(out, unsigned(bits));
  put32(out, 0);
  put32(out, imageBytes);
  put32(out, 0);
  put32(out, 0);
  put32(out, 0);
  put32(out, 0);
  // RGBQUAD palette: blue, green, red, reserved.
  for (int i = 0; i < colours; ++i) {
    const Rgb c = bits == 1 ? kPalette2[static_cast<std::size_t>(i)]
                            : kPalette16[static_cast<std::size_t>(i)];
    out.push_back(c.b);
    out.push_back(c.g);
    out.push_back(c.r);
    out.push_back(0);
  }
  out.insert(out.end(), xorBits.begin(), xorBits.end());
  out.insert(out.end(), andBits.begin(), andBits.end());
  return out;
}

}  // namespace strennix::icongen
