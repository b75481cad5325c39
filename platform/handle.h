// One move-only owner for every kind of acquired resource (registry keys,
// device contexts, brushes, modules, process and snapshot handles...).
// A traits type per kind names the value type, the party that releases it
// and how: ReleaseDC and DeleteDC are different kinds, so they get different
// traits even though both hold a device context.
//
//   struct Traits {
//     using Value = ...;          // the raw value, cheap to copy
//     using Owner = ...;          // who releases it (a port, or a back end)
//     static bool valid(const Value&);
//     static void release(Owner&, const Value&) noexcept;
//   };
#pragma once

#include <utility>

namespace strennix {

template <class Traits>
class UniqueHandle {
 public:
  using Value = typename Traits::Value;
  using Owner = typename Traits::Owner;

  UniqueHandle() = default;
  UniqueHandle(Owner& owner, Value value) : owner_(&owner), value_(value) {}
  ~UniqueHandle() { reset(); }

  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  UniqueHandle(UniqueHandle&& other) noexcept
      : owner_(std::exchange(other.owner_, nullptr)),
        value_(std::exchange(other.value_, Value{})) {}

  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      reset();
      owner_ = std::exchange(other.owner_, nullptr);
      value_ = std::exchange(other.value_, Value{});
    }
    return *this;
  }

  [[nodiscard]] bool valid() const { return owner_ != nullptr && Traits::valid(value_); }
  explicit operator bool() const { return valid(); }
  [[nodiscard]] const Value& get() const { return value_; }

  void reset() noexcept {
    if (valid()) {
      Traits::release(*owner_, value_);
    }
    owner_ = nullptr;
    value_ = Value{};
  }

 private:
  Owner* owner_ = nullptr;
  Value value_{};
};

}  // namespace strennix
