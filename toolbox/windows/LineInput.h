// The line input editor: a prompt, an editable field at a fixed place of the
// screen, editing keys, number modes, copy and paste.
#pragma once

#include <cstdint>
#include <string>

inline constexpr int kInputModeFree = 1;
inline constexpr int kInputModeInteger = 2;
inline constexpr int kInputModeDecimal = 3;
inline constexpr int kInputModeInnerMinus = 4;

std::string t_InputForm(std::uint8_t window, const std::string& prompt, const std::string& text,
                        bool setupOnly, int mode, int maxCharacters);
void t_InputEdit(std::uint8_t window, int key);
void t_InputInsert(std::uint8_t window, int code);

// Characters above 255 as ESC + four hex digits + GS; line feed as carriage return.
std::string stringescape(const std::string& text);
// The reverse of the escape form.
std::string stringunescape(const std::string& text);
