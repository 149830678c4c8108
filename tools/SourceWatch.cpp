#include "tools/SourceWatch.h"

#include <poll.h>
#include <sys/inotify.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <string_view>

namespace sourcewatch {
namespace {

constexpr std::uint32_t kSourceEvents =
    IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE | IN_MODIFY;
// The events that end a save: the writer closed the file, or moved it into place.
constexpr std::uint32_t kSavedEvents = IN_CLOSE_WRITE | IN_MOVED_TO;

// Editors' own files beside the source: swap files, backups, lock files.
bool isEditorFile(std::string_view name) {
  return name.empty() || name.front() == '.' || name.back() == '~' || name.ends_with(".swp") ||
         name.starts_with("#");
}

int openProcessHandle(pid_t program) {
  if (program < 0) return -1;
  return static_cast<int>(::syscall(SYS_pidfd_open, program, 0));
}

}  // namespace

SourceWatch::SourceWatch(const std::string& project) {
  inotify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (inotify_ < 0) {
    std::perror("velmorat-tool: inotify");
    return;
  }
  for (const std::string& folder : {project, project + "/scripts", project + "/pictures"}) {
    if (::inotify_add_watch(inotify_, folder.c_str(), kSourceEvents) < 0)
      std::fprintf(stderr, "velmorat-tool: cannot watch %s\n", folder.c_str());
  }
}

SourceWatch::~SourceWatch() {
  if (inotify_ >= 0) ::close(inotify_);
}

SourceWatch::Change SourceWatch::takeEvents() {
  alignas(inotify_event) std::array<char, 8192> buffer;
  Change change = Change::None;
  for (;;) {
    const ssize_t length = ::read(inotify_, buffer.data(), buffer.size());
    if (length <= 0) return change;
    for (ssize_t at = 0; at < length;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
      const std::string_view name = event->len > 0 ? std::string_view(event->name) : "";
      // The project folder's own build/ output and editor files are no sources.
      if (!isEditorFile(name) && name != "build" && name != "tests" && name != "README.md")
        change = (event->mask & kSavedEvents) != 0 ? Change::Saved : Change::Writing;
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
}

WatchEvent SourceWatch::wait(pid_t program) {
  if (inotify_ < 0) return WatchEvent::Failed;
  const int process = openProcessHandle(program);
  Change change = Change::None;
  WatchEvent result = WatchEvent::Failed;
  for (;;) {
    std::array<pollfd, 2> waits{{{inotify_, POLLIN, 0}, {process, POLLIN, 0}}};
    // Before a change: wait without end; after one: until the writes settle.
    const int timeout = change == Change::None    ? -1
                        : change == Change::Saved ? static_cast<int>(kSettleTimeAfterSave.count())
                                                  : static_cast<int>(kSettleTime.count());
    const int ready = ::poll(waits.data(), process >= 0 ? 2 : 1, timeout);
    if (ready < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (ready == 0) {
      result = WatchEvent::SourcesChanged;
      break;
    }
    if (process >= 0 && (waits[1].revents & POLLIN) != 0) {
      result = WatchEvent::ProgramEnded;
      break;
    }
    if ((waits[0].revents & POLLIN) != 0) {
      const Change taken = takeEvents();
      if (taken != Change::None) change = taken;
    }
  }
  if (process >= 0) ::close(process);
  return result;
}

}  // namespace sourcewatch
