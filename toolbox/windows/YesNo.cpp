#include "toolbox/windows/YesNo.h"

#include "support/qbtools.h"
#include "toolbox/text/DisplayModes.h"
#include "toolbox/text/TextOutput.h"
#include "toolbox/windows/Events.h"

namespace {

constexpr int kEscape = 27;

// The character of a key code of the 8-bit character set as UTF-8; nothing
// for a negative code (or one outside the set).
std::string keyCharacter(int code) {
  if (code < 0 || code > 255) return "";
  return texttostring(Text({static_cast<std::uint8_t>(code)}));
}

void printKey(std::uint8_t window, int code, bool highlighted) {
  if (highlighted) t_Inverse(window);
  t_Print(window, keyCharacter(code));
  t_Normal(window);
}

}  // namespace

void t_PrintYesNoQuestion(std::uint8_t window, const YesNoQuestion& asked) {
  t_Print(window, asked.question);
  printKey(window, asked.yesKey, asked.defaultYes);
  t_Print(window, asked.separator);
  printKey(window, asked.noKey, !asked.defaultYes);
  t_Print(window, asked.suffix);
}

bool t_YesNoAnswer(std::uint8_t window, const YesNoQuestion& asked, const std::string& key,
                   bool echo) {
  const int code = chrupper(asc(key));
  const bool answer = asked.defaultYes ? !(code == chrupper(asked.noKey) || code == kEscape)
                                       : code == chrupper(asked.yesKey);
  if (echo) {
    t_Print(window, keyCharacter(answer ? asked.yesKey : asked.noKey));
    t_Cr(window);
  }
  return answer;
}

bool t_InputYesNo(std::uint8_t window, const std::string& question, int yesKey,
                  const std::string& separator, int noKey, bool defaultYes,
                  const std::string& suffix, bool echo) {
  const YesNoQuestion asked{question, yesKey, separator, noKey, defaultYes, suffix};
  t_PrintYesNoQuestion(window, asked);
  return t_YesNoAnswer(window, asked, t_KeyWait(window), echo);
}
