// The yes/no question of the firmware: a question, the two answer keys with
// the default one inverted, and one key as the answer. The main routine asks
// it between games and at start; the parser before a new start or the end.
#pragma once

#include <cstdint>
#include <string>

struct YesNoQuestion {
  std::string question;
  int yesKey;  // character codes; below 0 nothing is printed for the key
  std::string separator;
  int noKey;
  bool defaultYes;
  std::string suffix;
};

// Prints question + yesKey + separator + noKey + suffix.
void t_PrintYesNoQuestion(std::uint8_t window, const YesNoQuestion& asked);
// The answer that key gives: the highlighted key is the default, Escape says
// no when yes is the default. With echo the answer's key is printed and the
// line ended.
bool t_YesNoAnswer(std::uint8_t window, const YesNoQuestion& asked, const std::string& key,
                   bool echo);

// Asks and waits for one key.
bool t_InputYesNo(std::uint8_t window, const std::string& question, int yesKey,
                  const std::string& separator, int noKey, bool defaultYes,
                  const std::string& suffix, bool echo);
