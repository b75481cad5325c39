#include "platform/win32/fileport.h"

#include <windows.h>

#include <cstdio>

#include "platform/handle.h"

namespace strennix::win32 {

namespace {

// A C runtime file, closed with fclose.
struct FileTraits {
  using Value = std::FILE*;
  using Owner = Win32FilePort;
  static bool valid(const Value& value) { return value != nullptr; }
  static void release(Owner& /*owner*/, const Value& value) noexcept { std::fclose(value); }
};

using File = UniqueHandle<FileTraits>;

// The file exists (as a file or a folder) even if it cannot be opened.
bool pathExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

bool Win32FilePort::exists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

FileContents Win32FilePort::readAll(const std::string& path) {
  const File file(*this, std::fopen(path.c_str(), "rb"));
  if (!file) {
    return FileContents{pathExists(path) ? ReadStatus::Unreadable : ReadStatus::Missing, {}};
  }
  FileContents contents{ReadStatus::Ok, {}};
  char chunk[4096];
  std::size_t read = 0;
  while ((read = std::fread(chunk, 1, sizeof(chunk), file.get())) > 0) {
    contents.bytes.append(chunk, read);
  }
  if (std::ferror(file.get()) != 0) {
    return FileContents{ReadStatus::Unreadable, {}};
  }
  return contents;
}

bool Win32FilePort::append(const std::string& path, std::string_view text) {
  // Text mode, as log files have always been written: Notepad shows the
  // lines apart because each "\n" reaches the file as CR LF.
  const File file(*this, std::fopen(path.c_str(), "a"));
  if (!file) {
    return false;
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
  return written && std::fflush(file.get()) == 0;
}

}  // namespace strennix::win32
