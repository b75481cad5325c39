// The measurement tools' one way to read what the screen shows of a window's
// frame: a rectangle of its window DC, 32 bits a pixel, top row first.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

inline std::vector<std::uint32_t> windowPixels(HWND window, int left, int top, int width,
                                               int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(memory, bitmap);
  HDC dc = GetWindowDC(window);
  BitBlt(memory, 0, 0, width, height, dc, left, top, SRCCOPY);
  ReleaseDC(window, dc);
  GdiFlush();
  const auto* first = static_cast<const std::uint32_t*>(bits);
  std::vector<std::uint32_t> copy(first, first + static_cast<std::size_t>(width) * height);
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(bitmap);
  return copy;
}
