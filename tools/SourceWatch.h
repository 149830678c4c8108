// Waiting for an author's edits (velmorat-tool run --watch): inotify on the
// project's folder, scripts/ and pictures/. An editor that saves in steps (a
// temporary file, then a rename) gives several events; the wait ends once
// they have settled, so that one save means one rebuild.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>

namespace sourcewatch {

// Quiet time after the last event before a change counts as done: shorter
// when that event closed or renamed a written file (a save that is complete
// unless another write follows at once), longer while a file is still being
// written. The short wait is a tenth of an edit's replay (1 s with our game).
inline constexpr std::chrono::milliseconds kSettleTime{150};
inline constexpr std::chrono::milliseconds kSettleTimeAfterSave{50};

enum class WatchEvent { SourcesChanged, ProgramEnded, Failed };

class SourceWatch {
 public:
  explicit SourceWatch(const std::string& project);
  ~SourceWatch();
  SourceWatch(const SourceWatch&) = delete;
  SourceWatch& operator=(const SourceWatch&) = delete;

  bool ok() const { return inotify_ >= 0; }
  // Blocks until the sources changed and settled, or until the program with
  // process id program ended (program < 0: none is watched).
  WatchEvent wait(pid_t program);

 private:
  enum class Change { None, Writing, Saved };
  // Reads the pending events: None when none concerns a source file, else
  // whether the last of those completed a save.
  Change takeEvents();
  int inotify_ = -1;
};

}  // namespace sourcewatch
