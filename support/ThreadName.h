// Names the calling thread for debuggers and `top -H`.
#pragma once

#include <string_view>

// Linux keeps at most 15 characters of a thread name; longer names are cut
// there, so "t_WindowAutoUpdate" shows as "t_WindowAutoUpd".
inline constexpr std::size_t kMaxThreadNameLength = 15;
void nameCurrentThread(std::string_view name);
