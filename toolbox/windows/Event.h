// t_Event: one key, mouse or file event.
#pragma once

#include <cstdint>
#include <string>

struct t_Event {
  int Kind = 0;  // 1 key, 2 mouse, 4 file
  int Index = 0;
  std::string Description;  // UTF-8
  int Value = 0;
  int WindowX = 0;
  int WindowY = 0;
  int ClickX = 0;
  int ClickY = 0;
  int Mods = 0;
  std::uint8_t Window = 0;
  std::int64_t Time = 0;  // milliseconds of the host's absolute clock
  bool CloseBox = false;
  bool CapsLockPressed = false;
  bool ShiftPressed = false;
  bool ControlPressed = false;
  bool OptionPressed = false;
  bool CommandPressed = false;
  bool NumericPadPressed = false;
  bool HelpPressed = false;
  bool FnPressed = false;
  bool CursorKeyPressed = false;
  bool FunctionKeyPressed = false;
};
