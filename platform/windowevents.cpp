#include "platform/windowevents.h"

#include "platform/winconst.h"

namespace strennix {

WindowEventReport reportOf(std::uint32_t event, std::int32_t object, std::int32_t child) {
  if (object != win::kObjIdWindow || child != win::kChildIdSelf) {
    return WindowEventReport::None;
  }
  switch (event) {
    case win::kEventObjectNameChange:
      return WindowEventReport::CaptionChange;
    case win::kEventObjectLocationChange:
    case win::kEventObjectHide:
      return WindowEventReport::Uncovered;
    default:
      return WindowEventReport::None;
  }
}

}  // namespace strennix
