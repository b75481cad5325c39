#include "platform/win32/sharedbuttonrows.h"

#include <vector>

namespace strennix::win32 {

namespace {

// The process token, closed with CloseHandle.
struct TokenTraits {
  using Value = HANDLE;
  using Owner = SharedButtonRows;
  static bool valid(const Value& value) { return value != nullptr; }
  static void release(Owner& /*owner*/, const Value& value) noexcept { CloseHandle(value); }
};

// The token's default DACL, set explicitly on the map: only this user's
// programs and the system may open it. Empty on the 9x family, which has no
// security; the map then gets none.
struct OwnUserOnly {
  SECURITY_DESCRIPTOR descriptor{};
  std::vector<unsigned char> defaultDacl;
  SECURITY_ATTRIBUTES attributes{};
};

bool ownUserOnly(SharedButtonRows& owner, OwnUserOnly& security) {
  HANDLE token = nullptr;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token) == FALSE) {
    return false;
  }
  const UniqueHandle<TokenTraits> ownedToken(owner, token);
  DWORD size = 0;
  GetTokenInformation(token, TokenDefaultDacl, nullptr, 0, &size);
  security.defaultDacl.resize(size);
  if (size == 0 || GetTokenInformation(token, TokenDefaultDacl, security.defaultDacl.data(), size,
                                       &size) == FALSE) {
    return false;
  }
  auto* dacl = reinterpret_cast<TOKEN_DEFAULT_DACL*>(security.defaultDacl.data());
  if (InitializeSecurityDescriptor(&security.descriptor, SECURITY_DESCRIPTOR_REVISION) == FALSE ||
      SetSecurityDescriptorDacl(&security.descriptor, TRUE, dacl->DefaultDacl, FALSE) == FALSE) {
    return false;
  }
  security.attributes =
      SECURITY_ATTRIBUTES{sizeof(SECURITY_ATTRIBUTES), &security.descriptor, FALSE};
  return true;
}

bool isNtFamily() { return (GetVersion() & 0x80000000U) == 0; }

}  // namespace

bool SharedButtonRows::open() {
  if (view_) {
    return true;
  }
  OwnUserOnly security;
  if (!ownUserOnly(*this, security) && isNtFamily()) {
    return false;
  }
  SECURITY_ATTRIBUTES* attributes = isNtFamily() ? &security.attributes : nullptr;
  mapping_ = UniqueHandle<MappingTraits>(
      *this,
      CreateFileMappingA(INVALID_HANDLE_VALUE, attributes, PAGE_READWRITE, 0,
                         sizeof(hookprotocol::ButtonRowTable), hookprotocol::kButtonRowsMapName));
  if (!mapping_) {
    return false;
  }
  const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
  // A map made smaller than the table cannot be viewed at the table's size.
  view_ = UniqueHandle<ViewTraits>(*this, MapViewOfFile(mapping_.get(), FILE_MAP_WRITE, 0, 0,
                                                        sizeof(hookprotocol::ButtonRowTable)));
  if (!view_) {
    mapping_.reset();
    return false;
  }
  auto& table = *static_cast<ButtonRowTable*>(view_.get());
  if (existed && !trustedTable(table)) {
    view_.reset();
    mapping_.reset();
    return false;
  }
  writer_.emplace(table);
  return true;
}

bool SharedButtonRows::claim(Hwnd mainWindow) {
  if (!open()) {
    return false;
  }
  writer_->claim(GetCurrentProcessId(), mainWindow);
  return true;
}

bool SharedButtonRows::publish(const ButtonRow& row) { return writer_ && writer_->publish(row); }

void SharedButtonRows::withdraw(Hwnd window) {
  if (writer_) {
    writer_->withdraw(window);
  }
}

std::optional<ButtonRow> SharedButtonRows::published(Hwnd window) const {
  return writer_ ? writer_->published(window) : std::nullopt;
}

std::vector<Hwnd> SharedButtonRows::publishedWindows() const {
  return writer_ ? writer_->publishedWindows() : std::vector<Hwnd>{};
}

}  // namespace strennix::win32
