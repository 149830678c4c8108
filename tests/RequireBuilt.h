// A test that needs something the build makes (the game's pictures or fonts,
// velmorat-tool) skips where it is missing, so that a partial build can still
// run the rest. CI sets VELMORAT_CI: there a missing piece is a broken build,
// and the test fails instead of leaving CI green.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

#define VELMORAT_REQUIRE_BUILT(present, what)                                       \
  do {                                                                              \
    if (!(present)) {                                                               \
      if (std::getenv("VELMORAT_CI") != nullptr) FAIL() << what << " is not built"; \
      GTEST_SKIP() << what << " is not built";                                      \
    }                                                                               \
  } while (false)
