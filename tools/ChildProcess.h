// Starting another program (the game, rsvg-convert, dpkg-deb) from
// velmorat-tool: argument vectors only, never a shell, so names with blanks
// or quotes in a game project stay names.
#pragma once

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace toolprocess {

struct ChildOptions {
  // Variables set for the child on top of the tool's environment.
  std::vector<std::pair<std::string, std::string>> environment;
  // Files that take the child's standard output and error; empty: the tool's own.
  std::string standardOutput;
  std::string standardError;
  // Those files are added to, not replaced (the games of a session share one log).
  bool keepOutput = false;
  // The child's working folder; empty: the tool's.
  std::string workingFolder;
};

// A started program; its status is collected by wait().
class Child {
 public:
  Child() = default;
  Child(const std::vector<std::string>& arguments, const ChildOptions& options);
  ~Child();
  Child(Child&& other) noexcept : pid_(std::exchange(other.pid_, -1)) {}
  Child& operator=(Child&& other) noexcept;
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  // The exit status; 128 + N after signal N; -1 when it did not start.
  int wait();
  // Asks the program to end (SIGTERM) and collects it.
  void stop();

 private:
  pid_t pid_ = -1;
};

// Waits until one of the programs the tool started has ended and returns its
// process id, leaving it for its Child's wait() to collect; -1 when the tool
// has none.
pid_t waitForAnyEnd();

// Runs a program to its end: its exit status as above, 127 when it cannot run.
int runProgram(const std::vector<std::string>& arguments, const ChildOptions& options = {});

// The full path of a program on PATH; empty when there is none.
std::string findOnPath(const std::string& name);

}  // namespace toolprocess
