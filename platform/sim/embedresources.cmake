# Writes the bytes of a compiled resource file (INPUT) into a C++ source
# (OUTPUT) as kLayoutResources.
file(READ ${INPUT} bytes HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${bytes}")
file(WRITE ${OUTPUT}
     "// Generated from resources/layouts.rc by the resource compiler.\n"
     "#include <cstddef>\n"
     "#include <cstdint>\n"
     "namespace strennix::sim {\n"
     "extern const std::uint8_t kLayoutResources[];\n"
     "extern const std::size_t kLayoutResourcesSize;\n"
     "const std::uint8_t kLayoutResources[] = {${bytes}};\n"
     "const std::size_t kLayoutResourcesSize = sizeof(kLayoutResources);\n"
     "}  // namespace strennix::sim\n")
