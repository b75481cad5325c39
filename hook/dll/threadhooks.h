// Which threads the helper hooks one by one where it cannot install global
// hooks (under Wine, which stops a hook chain at a library of the other
// bitness). Each scan of the running threads is compared with what the book
// already knows: threads seen for the first time are to be judged (hooked
// when their process has the helper's bitness), hooked threads that have
// ended are to be unhooked, and every ended thread is forgotten. A thread is
// judged once, so a process of the other bitness is not asked about again at
// every scan; only a
// thread the helper could not hook is offered again, a few times: a program
// just started may not be ready to take hooks at its first scan.
// No Windows types: the unit tests run it on the host.
#pragma once

#include <algorithm>
#include <iterator>
#include <map>
#include <set>
#include <vector>

namespace strennix {

struct RunningThread {
  unsigned thread = 0;
  unsigned process = 0;
};

struct ThreadScan {
  std::vector<RunningThread> fresh;  // to judge, and hook if their process has the helper's bitness
  std::vector<unsigned> ended;       // hooked, no longer running: to unhook
};

class ThreadHookBook {
 public:
  // Threads of the helper's and the program's own processes are never hooked.
  ThreadHookBook(unsigned helperProcess, unsigned programProcess)
      : helper_(helperProcess), program_(programProcess) {}

  // Every fresh thread counts as judged from here on; hooked() marks the
  // ones that got hooks.
  ThreadScan scan(const std::vector<RunningThread>& running) {
    std::set<unsigned> alive;
    for (const RunningThread& entry : running) {
      alive.insert(entry.thread);
    }
    ThreadScan result;
    result.ended = forgetEnded(hooked_, alive);
    forgetEnded(passed_, alive);
    std::erase_if(refusals_, [&](const auto& entry) { return !alive.contains(entry.first); });
    for (const RunningThread& entry : running) {
      if (isOwn(entry.process) || isKnown(entry.thread)) {
        continue;
      }
      passed_.insert(entry.thread);
      result.fresh.push_back(entry);
    }
    return result;
  }

  void hooked(unsigned thread) {
    passed_.erase(thread);
    refusals_.erase(thread);
    hooked_.insert(thread);
  }

  // Its hooks were refused, or its process could not be asked: offered
  // again at the next scans, until kOffers in all (ten seconds).
  void refused(unsigned thread) {
    if (++refusals_[thread] < kOffers) {
      passed_.erase(thread);
    }
  }

  static constexpr int kOffers = 40;

  [[nodiscard]] const std::set<unsigned>& hookedThreads() const { return hooked_; }

 private:
  bool isOwn(unsigned process) const { return process == helper_ || process == program_; }
  bool isKnown(unsigned thread) const {
    return hooked_.contains(thread) || passed_.contains(thread);
  }

  // Removes the threads that are not alive from `threads` and returns them.
  static std::vector<unsigned> forgetEnded(std::set<unsigned>& threads,
                                           const std::set<unsigned>& alive) {
    std::vector<unsigned> ended;
    std::ranges::copy_if(threads, std::back_inserter(ended),
                         [&](unsigned thread) { return !alive.contains(thread); });
    for (unsigned thread : ended) {
      threads.erase(thread);
    }
    return ended;
  }

  unsigned helper_;
  unsigned program_;
  std::set<unsigned> hooked_;
  std::set<unsigned> passed_;
  std::map<unsigned, int> refusals_;
};

}  // namespace strennix
