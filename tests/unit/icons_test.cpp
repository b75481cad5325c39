#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/icongen/icongen.h"

namespace strennix::icongen {
namespace {

using Bytes = std::vector<std::uint8_t>;

const char* const kButtonIcons[] = {"hmax", "vmax", "tomenu", "shade", "toicon", "pin", "pinned"};

std::string readFile(const std::string& name) {
  std::ifstream in(std::string(STRENNIX_ICONS_DIR) + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Bytes committedIcon(const std::string& stem) {
  const std::string text = readFile(stem + ".ico");
  return {text.begin(), text.end()};
}

unsigned u16(const Bytes& b, std::size_t at) { return b.at(at) | b.at(at + 1) << 8; }
unsigned u32(const Bytes& b, std::size_t at) { return u16(b, at) | u16(b, at + 2) << 16; }

TEST(Icons, EachCommittedIconIsGeneratedFromItsTextPicture) {
  for (const std::string stem :
       {"app", "hmax", "vmax", "tomenu", "shade", "toicon", "pin", "pinned"}) {
    const std::string text = readFile(stem + ".txt");
    ASSERT_FALSE(text.empty()) << stem;
    EXPECT_EQ(encodeIco(parseIconText(text)), committedIcon(stem)) << stem;
  }
}

TEST(Icons, ButtonIconsAreOpaque16By14SixteenColourRaisedButtons) {
  for (const std::string stem : kButtonIcons) {
    const Bytes ico = committedIcon(stem);
    ASSERT_EQ(ico.size(), 22U + 40 + 64 + 14 * 8 + 14 * 4) << stem;
    EXPECT_EQ(u16(ico, 2), 1U) << "an icon";
    EXPECT_EQ(u16(ico, 4), 1U) << "one image";
    EXPECT_EQ(ico[6], 16);
    EXPECT_EQ(ico[7], 14);
    EXPECT_EQ(ico[8], 16) << "colours";
    EXPECT_EQ(u16(ico, 12), 4U) << "bits per pixel";
    EXPECT_EQ(u32(ico, 18), 22U) << "image offset";
    EXPECT_EQ(u32(ico, 22), 40U);
    EXPECT_EQ(u32(ico, 26), 16U);
    EXPECT_EQ(u32(ico, 30), 28U) << "XOR and AND height";
    // Standard palette: silver at 7, grey at 8, white at 15 (blue, green, red, 0).
    EXPECT_EQ(u32(ico, 62 + 7 * 4), 0x00C0C0C0U);
    EXPECT_EQ(u32(ico, 62 + 8 * 4), 0x00808080U);
    EXPECT_EQ(u32(ico, 62 + 15 * 4), 0x00FFFFFFU);
    const std::size_t mask = 22 + 40 + 64 + 14 * 8;
    for (std::size_t i = mask; i < ico.size(); ++i) {
      EXPECT_EQ(ico[i], 0) << stem << ": every pixel opaque";
    }

    const IconPicture picture = parseIconText(readFile(stem + ".txt"));
    const auto at = [&picture](int x, int y) { return picture.pixels[y * 16 + x]; };
    for (int x = 0; x < 15; ++x) {
      EXPECT_EQ(at(x, 0), 15) << stem << ": white top edge";
      EXPECT_EQ(at(x, 13), 0) << stem << ": black bottom edge";
    }
    for (int y = 0; y < 13; ++y) {
      EXPECT_EQ(at(0, y), 15) << stem << ": white left edge";
      EXPECT_EQ(at(15, y), 0) << stem << ": black right edge";
    }
    for (int y = 1; y < 12; ++y) {
      EXPECT_EQ(at(14, y), 8) << stem << ": dark grey inner right edge";
    }
    int face = 0;
    int glyph = 0;
    for (int y = 1; y < 12; ++y) {
      for (int x = 1; x < 14; ++x) {
        face += at(x, y) == 7 ? 1 : 0;
        glyph += at(x, y) == 0 ? 1 : 0;
      }
    }
    EXPECT_GT(face, glyph) << stem << ": mostly silver face";
    EXPECT_GE(glyph, 10) << stem << ": a black glyph";
  }
}

TEST(Icons, TheGlyphsHaveTheirDescribedShapes) {
  const auto glyphOf = [](const std::string& stem) {
    const IconPicture p = parseIconText(readFile(stem + ".txt"));
    std::vector<std::string> rows;
    for (int y = 1; y < 12; ++y) {
      std::string row;
      for (int x = 1; x < 14; ++x) {
        row += p.pixels[y * 16 + x] == 0 ? 'K' : '.';
      }
      rows.push_back(row);
    }
    return rows;
  };
  const auto tomenu = glyphOf("tomenu");
  EXPECT_EQ(tomenu[8], ".......KKKKK.") << "5 x 2 bar at the lower right";
  EXPECT_EQ(tomenu[9], ".......KKKKK.");
  const auto shade = glyphOf("shade");
  EXPECT_EQ(shade[1], "..KKKKKKKKK..") << "9 x 2 bar near the top";
  EXPECT_EQ(shade[2], "..KKKKKKKKK..");
  const auto toicon = glyphOf("toicon");
  EXPECT_EQ(toicon[8], "....KK.KK.KK.") << "three 2 x 2 squares at the lower right";
  EXPECT_EQ(toicon[9], "....KK.KK.KK.");
  EXPECT_NE(glyphOf("pin"), glyphOf("pinned"));
}

TEST(Icons, TheApplicationIconIsATwoColourCrossOfArrowsOnTransparency) {
  const Bytes ico = committedIcon("app");
  EXPECT_EQ(ico[6], 16);
  EXPECT_EQ(ico[7], 16);
  EXPECT_EQ(ico[8], 2);
  EXPECT_EQ(u16(ico, 12), 1U);
  EXPECT_EQ(u32(ico, 30), 32U);

  const IconPicture p = parseIconText(readFile("app.txt"));
  const auto at = [&p](int x, int y) { return p.pixels[y * 16 + x]; };
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(at(7, i), 0) << "vertical arm, two pixels wide";
    EXPECT_EQ(at(8, i), 0);
    EXPECT_EQ(at(i, 7), 0) << "horizontal arm, two pixels wide";
    EXPECT_EQ(at(i, 8), 0);
  }
  EXPECT_EQ(at(0, 0), kTransparent);
  EXPECT_EQ(at(15, 15), kTransparent);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      EXPECT_EQ(at(x, y), at(15 - x, y)) << "symmetric left to right";
      EXPECT_EQ(at(x, y), at(y, x)) << "the same arrows across the diagonal";
    }
  }
}

TEST(IconText, MalformedPicturesAreRefusedNamingTheLine) {
  const auto message = [](const std::string& text) {
    try {
      parseIconText(text);
    } catch (const IconTextError& error) {
      return std::string(error.what());
    }
    return std::string("accepted");
  };
  EXPECT_EQ(message("size 2 1\ncolor K 0\npixels\nKK\n"), "accepted");
  EXPECT_EQ(message("size 2 1\ncolor K 0\npixels\nK\n"),
            "line 4: a pixel row must have 2 characters");
  EXPECT_EQ(message("size 2 1\ncolor K 0\npixels\nKX\n"),
            "line 4: character 'X' is not in the legend");
  EXPECT_EQ(message("size 2 2\ncolor K 0\npixels\nKK\n"),
            "line 4: fewer pixel rows than the size says");
  EXPECT_EQ(message("size 2 1\ncolor K 0\npixels\nKK\nKK\n"),
            "line 5: more pixel rows than the size says");
  EXPECT_EQ(message("size 2 1\nbits 1\ncolor K 7\npixels\nKK\n"),
            "line 5: colour of 'K' is outside the palette");
  EXPECT_EQ(message("bits 8\n"), "line 1: bits must be 1 or 4");
  EXPECT_EQ(message("pixels\n"), "line 1: pixels before size");
  EXPECT_EQ(message("shape round\n"), "line 1: unknown directive 'shape'");
}

}  // namespace
}  // namespace strennix::icongen
