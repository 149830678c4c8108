// Weak stand-ins until their owners' definitions exist.
#include <atomic>

__attribute__((weak)) std::atomic<bool> KeyWaiting{false};
