// Captures what the diagnostic log writes (standard output) while alive.
#pragma once

#include <gtest/gtest.h>

#include <string>

class LogCapture {
 public:
  LogCapture() { testing::internal::CaptureStdout(); }
  ~LogCapture() {
    if (!taken_) testing::internal::GetCapturedStdout();
  }
  std::string text() {
    taken_ = true;
    return testing::internal::GetCapturedStdout();
  }

 private:
  bool taken_ = false;
};
