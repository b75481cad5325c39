#include "platform/sim/simmessageboxport.h"

namespace strennix::sim {

int SimMessageBoxPort::messageBox(Hwnd owner, const std::string& text, const std::string& caption,
                                  std::uint32_t flags) {
  world_.messageBoxes.push_back(MessageBoxCall{owner, text, caption, flags});
  if (world_.messageBoxAnswers.empty()) {
    return 1;
  }
  const int answer = world_.messageBoxAnswers.front();
  world_.messageBoxAnswers.pop_front();
  return answer;
}

}  // namespace strennix::sim
