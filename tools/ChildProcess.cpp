#include "tools/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace toolprocess {
namespace {

constexpr int kCannotRun = 127;

void redirect(const std::string& path, int descriptor, bool keep) {
  if (path.empty()) return;
  // Appending: a line the tool adds to the file stays where the child's next begins.
  const int file =
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | (keep ? 0 : O_TRUNC), 0644);
  if (file < 0 || ::dup2(file, descriptor) < 0) _exit(kCannotRun);
}

int statusOf(int raw) {
  if (WIFEXITED(raw)) return WEXITSTATUS(raw);
  if (WIFSIGNALED(raw)) return 128 + WTERMSIG(raw);
  return -1;
}

}  // namespace

Child::Child(const std::vector<std::string>& arguments, const ChildOptions& options) {
  if (arguments.empty()) return;
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  // The child's environment is made before the fork: between fork and exec
  // only async-signal-safe calls are sound.
  std::vector<std::string> variables;
  for (const auto& [name, value] : options.environment) variables.push_back(name + "=" + value);
  for (char** variable = environ; *variable != nullptr; ++variable) {
    const std::string_view entry(*variable);
    const std::string_view name = entry.substr(0, entry.find('='));
    const bool replaced = std::any_of(options.environment.begin(), options.environment.end(),
                                      [&](const auto& chosen) { return chosen.first == name; });
    if (!replaced) variables.emplace_back(entry);
  }
  std::vector<char*> envp;
  for (std::string& variable : variables) envp.push_back(variable.data());
  envp.push_back(nullptr);
  std::fflush(stdout);
  std::fflush(stderr);
  pid_ = ::fork();
  if (pid_ == 0) {
    // A game started by run --watch must not outlive the tool that replaces it.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    redirect(options.standardOutput, STDOUT_FILENO, options.keepOutput);
    redirect(options.standardError, STDERR_FILENO, options.keepOutput);
    if (!options.workingFolder.empty() && ::chdir(options.workingFolder.c_str()) != 0)
      _exit(kCannotRun);
    ::execvpe(argv[0], argv.data(), envp.data());
    _exit(kCannotRun);
  }
  if (pid_ < 0) std::fprintf(stderr, "velmorat-tool: cannot start %s\n", argv[0]);
}

Child::~Child() {
  stop();
}

Child& Child::operator=(Child&& other) noexcept {
  if (this != &other) {
    stop();
    pid_ = std::exchange(other.pid_, -1);
  }
  return *this;
}

int Child::wait() {
  if (pid_ <= 0) return -1;
  int raw = 0;
  while (::waitpid(pid_, &raw, 0) < 0) {
    if (errno != EINTR) {
      pid_ = -1;
      return -1;
    }
  }
  pid_ = -1;
  return statusOf(raw);
}

void Child::stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  wait();
}

pid_t waitForAnyEnd() {
  siginfo_t ended{};
  while (::waitid(P_ALL, 0, &ended, WEXITED | WNOWAIT) < 0) {
    if (errno != EINTR) return -1;
  }
  return ended.si_pid;
}

int runProgram(const std::vector<std::string>& arguments, const ChildOptions& options) {
  Child child(arguments, options);
  if (!child.started()) return kCannotRun;
  return child.wait();
}

std::string findOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string folders = path != nullptr ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= folders.size()) {
    std::size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    const std::string candidate = folders.substr(start, end - start) + "/" + name;
    if (end > start && ::access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return {};
}

}  // namespace toolprocess
