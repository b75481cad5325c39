// The error a call raises, as text, for tests that expect one.
#pragma once

#include <string>

#include "platform/forms.h"

namespace strennix::testsupport {

// The message of the StrennixError that `action` throws, or "no error".
inline std::string errorOf(const auto& action) {
  try {
    action();
  } catch (const StrennixError& error) {
    return error.what();
  }
  return "no error";
}

}  // namespace strennix::testsupport
