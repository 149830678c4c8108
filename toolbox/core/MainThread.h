// Runs work on the host's main thread and hands back its result: directly when
// the caller is the main thread, otherwise synchronously, waiting for it.
#pragma once

#include <type_traits>

#include "port/Host.h"

template <typename Work>
auto onMainThread(Work&& work) -> std::invoke_result_t<Work&> {
  using Result = std::invoke_result_t<Work&>;
  if constexpr (std::is_void_v<Result>) {
    host::current().runOnMainAndWait(work);
  } else {
    Result result{};
    host::current().runOnMainAndWait([&] { result = work(); });
    return result;
  }
}
