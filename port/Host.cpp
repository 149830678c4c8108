#include "port/Host.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace host {
namespace {
std::atomic<Host*> installedHost{nullptr};
}

Host& current() {
  Host* host = installedHost.load(std::memory_order_acquire);
  if (host == nullptr) {
    std::fputs("host: no host installed\n", stderr);
    std::abort();
  }
  return *host;
}

void install(Host* host) {
  installedHost.store(host, std::memory_order_release);
}

bool installed() {
  return installedHost.load(std::memory_order_acquire) != nullptr;
}

}  // namespace host
