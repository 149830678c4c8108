#include "host/terminal/DisplayProbe.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace terminal {
namespace {

constexpr int kFirstXPort = 6000;
// A forwarded display answers within a round trip; a dead one should not
// keep the player waiting.
constexpr int kConnectTimeoutMs = 1000;

std::string environmentOf(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

bool connectsToLocalSocket(const std::string& path, bool abstract) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::size_t offset = abstract ? 1 : 0;
  if (path.size() + offset >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path + offset, path.data(), path.size());
  const int descriptor = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (descriptor < 0) return false;
  const auto length =
      static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
  const bool connected =
      connect(descriptor, reinterpret_cast<const sockaddr*>(&address), length) == 0;
  close(descriptor);
  return connected;
}

bool connectsToTcp(const std::string& host, int port) {
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return false;
  bool connected = false;
  for (addrinfo* entry = found; entry != nullptr && !connected; entry = entry->ai_next) {
    const int descriptor =
        socket(entry->ai_family, entry->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (descriptor < 0) continue;
    if (connect(descriptor, entry->ai_addr, entry->ai_addrlen) == 0) {
      connected = true;
    } else if (errno == EINPROGRESS) {
      pollfd wait{descriptor, POLLOUT, 0};
      int error = 0;
      socklen_t size = sizeof error;
      connected = poll(&wait, 1, kConnectTimeoutMs) == 1 &&
                  getsockopt(descriptor, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
    }
    close(descriptor);
  }
  freeaddrinfo(found);
  return connected;
}

bool waylandReachable() {
  const std::string display = environmentOf("WAYLAND_DISPLAY");
  if (display.empty()) return false;
  if (display.front() == '/') return connectsToLocalSocket(display, false);
  const std::string runtime = environmentOf("XDG_RUNTIME_DIR");
  return !runtime.empty() && connectsToLocalSocket(runtime + "/" + display, false);
}

}  // namespace

XDisplayAddress parseXDisplay(const std::string& display) {
  XDisplayAddress address;
  const std::size_t colon = display.rfind(':');
  if (colon == std::string::npos) return address;
  address.host = display.substr(0, colon);
  const std::string rest = display.substr(colon + 1);
  const std::size_t dot = rest.find('.');
  const std::string number = rest.substr(0, dot);
  const char* end = number.data() + number.size();
  auto [stop, failure] = std::from_chars(number.data(), end, address.number);
  address.valid = !number.empty() && failure == std::errc() && stop == end && address.number >= 0 &&
                  address.number < 1000;
  return address;
}

bool displayReachable(const std::string& socketFolder) {
  if (waylandReachable()) return true;
  const XDisplayAddress address = parseXDisplay(environmentOf("DISPLAY"));
  if (!address.valid) return false;
  if (address.host.empty() || address.host == "unix") {
    const std::string path = socketFolder + "/X" + std::to_string(address.number);
    return connectsToLocalSocket(path, false) || connectsToLocalSocket(path, true);
  }
  return connectsToTcp(address.host, kFirstXPort + address.number);
}

}  // namespace terminal
