// Tag strings: texts in which a bracketed keyword such as "<stay>" counts as
// present when its exact characters occur anywhere.
#pragma once

#include <cstdint>
#include <string_view>

namespace strennix {

// Button tags of "Buttons".
inline constexpr std::string_view kTagVMax = "<vmax>";
inline constexpr std::string_view kTagHMax = "<hmax>";
inline constexpr std::string_view kTagTop = "<top>";
inline constexpr std::string_view kTagShade = "<shade>";
inline constexpr std::string_view kTagToIcon = "<toicon>";
inline constexpr std::string_view kTagToMenu = "<tomenu>";

// Tray-menu tags of "Menu".
inline constexpr std::string_view kTagStay = "<stay>";
inline constexpr std::string_view kTagAlpha = "<alpha>";

// The two texts of "DrawOn".
inline constexpr std::string_view kDrawOnAll = "<all>";
inline constexpr std::string_view kDrawOnOne = "<one>";

// The three extended-style tags the settings form edits.
inline constexpr std::string_view kTagExToolWindow = "<WS_EX_TOOLWINDOW>";
inline constexpr std::string_view kTagExDlgModalFrame = "<WS_EX_DLGMODALFRAME>";
inline constexpr std::string_view kTagExTransparent = "<WS_EX_TRANSPARENT>";

// Letter case counts; position, repetition and surrounding text do not.
bool hasTag(std::string_view text, std::string_view tag);

// The OR of the window-style constants whose tags occur in `text`.
std::uint32_t styleMask(std::string_view text);
// The OR of the extended-style constants whose tags occur in `text`.
std::uint32_t exStyleMask(std::string_view text);

}  // namespace strennix
