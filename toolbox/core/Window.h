// t_Window: the record of one graphic window (0..7), its 53 fields in their
// fixed order (programs copy records field by field). Fields that the refresh process, the host's
// handlers or a test harness read while the program thread writes them are SharedValue (atomic,
// still copyable). Other threads read where the blocks lie through
// windowBlocks (VideoMemory.h), which reads them as one.
#pragma once

#include <cstdint>
#include <string>

#include "port/Host.h"
#include "support/SharedValue.h"
#include "toolbox/core/Color.h"
#include "toolbox/core/Font.h"

struct t_Window {
  SharedValue<bool> Initialized{false};
  SharedValue<bool> Visible{false};
  SharedValue<bool> IgnoreEvents{false};
  SharedValue<bool> AutoUpdate{false};
  SharedValue<bool> QuickUpdate{false};
  bool ScrollLock = false;
  SharedValue<bool> VerticalBlank{true};
  SharedValue<std::int64_t> UpdateStarted{0};   // milliseconds
  SharedValue<std::int64_t> UpdateFinished{0};  // milliseconds
  SharedValue<std::int64_t> UpdateDuration{0};  // microseconds
  SharedValue<int> RefreshRate{30};             // redraws per second
  SharedValue<host::HostWindow*> Window{nullptr};
  SharedValue<host::HostView*> View{nullptr};
  host::Rect DrawingRect;
  int TitleHeight = 0;
  SharedValue<int> BorderWidth{0};
  SharedValue<int> BorderHeight{0};
  t_RGBColor RGBColorBorder;
  SharedValue<int> BitDepth{0};
  SharedValue<int> Width{0};
  SharedValue<int> Height{0};
  t_RGBColor RGBColor;
  int DrawingMode = 0;
  int PositionX = 0;
  int PositionY = 0;
  SharedValue<std::int64_t> MemoryStart{-1};
  SharedValue<std::int64_t> MemoryEnd{-1};
  t_Font Font;
  SharedValue<int> TextWidth{0};
  SharedValue<int> TextHeight{0};
  int TextFirstColumn = 0;
  int TextLastColumn = 0;
  int TextFirstLine = 0;
  int TextLastLine = 0;
  SharedValue<int> TextHpos{0};  // the terminal host shows its cursor there
  SharedValue<int> TextVpos{0};
  std::uint8_t TextColor = 0;
  bool TextInverse = false;
  int TextDisplayMode = 0;
  SharedValue<int> TextCursorLevel{0};
  // 1 = the window, 2 = the diagnostic log; the keypad keys change it on the main thread.
  SharedValue<int> TextRedirectOutput{1};
  std::string InputString;  // UTF-8
  bool InputFinished = false;
  int InputMode = 0;
  int InputHpos = 0;
  int InputVpos = 0;
  int InputCursorPos = 0;
  int InputMaxCharacters = 0;
  int LoResOffsetX = 0;
  int LoResOffsetY = 0;
  int LoResMode = 0;
  SharedValue<std::int64_t> TextMemoryStart{-1};
  SharedValue<std::int64_t> TextMemoryEnd{-1};
};
