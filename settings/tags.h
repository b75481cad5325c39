// Tag strings: texts in which a bracketed keyword such as "<stay>" counts as
// present when its exact characters occur anywhere.
#pragma once

#include <array>
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

// The texts of "ButtonLook"; anything else (or no value) is automatic.
inline constexpr std::string_view kLookPainted = "<painted>";
inline constexpr std::string_view kLookWindows = "<windows>";

// The three extended-style tags the settings form edits.
inline constexpr std::string_view kTagExToolWindow = "<WS_EX_TOOLWINDOW>";
inline constexpr std::string_view kTagExDlgModalFrame = "<WS_EX_DLGMODALFRAME>";
inline constexpr std::string_view kTagExTransparent = "<WS_EX_TRANSPARENT>";

// A style tag and the Win32 constant it stands for; the Windows build checks
// the values against <windows.h>.
struct StyleTag {
  std::string_view tag;
  std::uint32_t value;
};

// The tags of "ExcludeStyles".
inline constexpr std::array<StyleTag, 27> kStyleTags = {{
    {"<WS_BORDER>", 0x00800000},
    {"<WS_CAPTION>", 0x00C00000},
    {"<WS_CHILD>", 0x40000000},
    {"<WS_CHILDWINDOW>", 0x40000000},
    {"<WS_CLIPCHILDREN>", 0x02000000},
    {"<WS_CLIPSIBLINGS>", 0x04000000},
    {"<WS_DISABLED>", 0x08000000},
    {"<WS_DLGFRAME>", 0x00400000},
    {"<WS_GROUP>", 0x00020000},
    {"<WS_HSCROLL>", 0x00100000},
    {"<WS_ICONIC>", 0x20000000},
    {"<WS_MAXIMIZE>", 0x01000000},
    {"<WS_MAXIMIZEBOX>", 0x00010000},
    {"<WS_MINIMIZE>", 0x20000000},
    {"<WS_MINIMIZEBOX>", 0x00020000},
    {"<WS_OVERLAPPED>", 0x00000000},
    {"<WS_OVERLAPPEDWINDOW>", 0x00CF0000},
    {"<WS_POPUP>", 0x80000000},
    {"<WS_POPUPWINDOW>", 0x80880000},
    {"<WS_SIZEBOX>", 0x00040000},
    {"<WS_SYSMENU>", 0x00080000},
    {"<WS_TABSTOP>", 0x00010000},
    {"<WS_THICKFRAME>", 0x00040000},
    {"<WS_TILED>", 0x00000000},
    {"<WS_TILEDWINDOW>", 0x00CF0000},
    {"<WS_VISIBLE>", 0x10000000},
    {"<WS_VSCROLL>", 0x00200000},
}};

// The tags of "ExcludeExStyles".
inline constexpr std::array<StyleTag, 21> kExStyleTags = {{
    {"<WS_EX_ACCEPTFILES>", 0x00000010},    {"<WS_EX_APPWINDOW>", 0x00040000},
    {"<WS_EX_CLIENTEDGE>", 0x00000200},     {"<WS_EX_CONTEXTHELP>", 0x00000400},
    {"<WS_EX_CONTROLPARENT>", 0x00010000},  {"<WS_EX_DLGMODALFRAME>", 0x00000001},
    {"<WS_EX_LEFT>", 0x00000000},           {"<WS_EX_LEFTSCROLLBAR>", 0x00004000},
    {"<WS_EX_LTRREADING>", 0x00000000},     {"<WS_EX_MDICHILD>", 0x00000040},
    {"<WS_EX_NOPARENTNOTIFY>", 0x00000004}, {"<WS_EX_OVERLAPPEDWINDOW>", 0x00000300},
    {"<WS_EX_PALETTEWINDOW>", 0x00000188},  {"<WS_EX_RIGHT>", 0x00001000},
    {"<WS_EX_RIGHTSCROLLBAR>", 0x00000000}, {"<WS_EX_RTLREADING>", 0x00002000},
    {"<WS_EX_STATICEDGE>", 0x00020000},     {"<WS_EX_TOOLWINDOW>", 0x00000080},
    {"<WS_EX_TOPMOST>", 0x00000008},        {"<WS_EX_TRANSPARENT>", 0x00000020},
    {"<WS_EX_WINDOWEDGE>", 0x00000100},
}};

// Letter case counts; position, repetition and surrounding text do not.
bool hasTag(std::string_view text, std::string_view tag);

// The OR of the window-style constants whose tags occur in `text`.
std::uint32_t styleMask(std::string_view text);
// The OR of the extended-style constants whose tags occur in `text`.
std::uint32_t exStyleMask(std::string_view text);

}  // namespace strennix
