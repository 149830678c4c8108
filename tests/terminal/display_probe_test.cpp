#include "host/terminal/DisplayProbe.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "ScopedVariable.h"

namespace terminal {
namespace {

TEST(DisplayProbe, ParsesTheFormsOfDisplay) {
  XDisplayAddress local = parseXDisplay(":0");
  EXPECT_TRUE(local.valid);
  EXPECT_EQ(local.host, "");
  EXPECT_EQ(local.number, 0);
  XDisplayAddress forwarded = parseXDisplay("localhost:10.0");
  EXPECT_TRUE(forwarded.valid);
  EXPECT_EQ(forwarded.host, "localhost");
  EXPECT_EQ(forwarded.number, 10);
  EXPECT_EQ(parseXDisplay("unix:3").number, 3);
  for (const char* broken : {"", "0", ":", ":x", ":1x", "host:", ":-1", ":99999999999"})
    EXPECT_FALSE(parseXDisplay(broken).valid) << broken;
}

TEST(DisplayProbe, LocalDisplayIsReachableOnlyWhileItsSocketListens) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("velmorat-probe-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  ScopedVariable wayland("WAYLAND_DISPLAY", nullptr);
  ScopedVariable display("DISPLAY", ":7");
  EXPECT_FALSE(displayReachable(folder.string()));

  const std::string path = (folder / "X7").string();
  const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 1), 0);
  EXPECT_TRUE(displayReachable(folder.string()));
  close(listener);
  // A socket file whose server is gone (a crashed X server) answers no more.
  EXPECT_FALSE(displayReachable(folder.string()));
  std::filesystem::remove_all(folder);
}

TEST(DisplayProbe, NoDisplayVariablesMeanNoDisplay) {
  ScopedVariable wayland("WAYLAND_DISPLAY", nullptr);
  ScopedVariable display("DISPLAY", nullptr);
  EXPECT_FALSE(displayReachable("/nonexistent"));
}

}  // namespace
}  // namespace terminal
