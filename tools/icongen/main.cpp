// icongen PICTURE.txt ICON.ico: writes the icon described by the text.
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "tools/icongen/icongen.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: icongen PICTURE.txt ICON.ico\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << "icongen: cannot read " << argv[1] << "\n";
    return 1;
  }
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  try {
    const auto bytes = strennix::icongen::encodeIco(strennix::icongen::parseIconText(text));
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::cerr << "icongen: cannot write " << argv[2] << "\n";
      return 1;
    }
  } catch (const strennix::icongen::IconTextError& error) {
    std::cerr << "icongen: " << argv[1] << ": " << error.what() << "\n";
    return 1;
  }
  return 0;
}
