#include "platform/sim/simwindowframeport.h"

namespace strennix::sim {

const SimFrame* SimWindowFramePort::frameOf(Hwnd window) const {
  const auto found = world_.frames.find(window);
  return found == world_.frames.end() || !world_.exists(window) ? nullptr : &found->second;
}

bool SimWindowFramePort::composed() { return world_.composed; }

std::optional<Rect> SimWindowFramePort::captionButtons(Hwnd window) {
  const SimFrame* frame = frameOf(window);
  return frame == nullptr ? std::nullopt : frame->captionButtons;
}

std::optional<Rect> SimWindowFramePort::titleBar(Hwnd window) {
  const SimFrame* frame = frameOf(window);
  return frame == nullptr ? std::nullopt : frame->titleBar;
}

bool SimWindowFramePort::cloaked(Hwnd window) {
  const SimFrame* frame = frameOf(window);
  return frame != nullptr && frame->cloaked;
}

std::uint32_t SimWindowFramePort::dpi(Hwnd window) {
  const SimFrame* frame = frameOf(window);
  return frame == nullptr || frame->dpi == 0 ? world_.systemDpi : frame->dpi;
}

}  // namespace strennix::sim
