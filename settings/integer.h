// The integer conversion used for every number stored as text.
#pragma once

#include <cstdint>
#include <string>

namespace strennix {

// The whole text must be one integer: optional leading blanks, an optional
// sign, then decimal digits, or hexadecimal digits after "$", "0x" or "0X".
// Decimal must fit in signed 32 bits. Hexadecimal may give any 32-bit
// pattern, so "$FFFFFFFF" is -1, as the form library has always read it.
// Anything else throws StrennixError("'<text>' is not a valid integer value").
std::int32_t strToInt(const std::string& text);

}  // namespace strennix
