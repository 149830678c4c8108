#include "support/CommandLineParser.h"

#include <algorithm>

namespace commandline {

Parsed parse(CLI::App& app, const std::vector<std::string>& arguments) {
  Parsed parsed;
  // CLI11 takes the arguments last first.
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    parsed.help = true;
    parsed.text = app.help();
  } catch (const CLI::ParseError& failure) {
    parsed.error = failure.what();
    parsed.text = parsed.error + "\n" + app.help();
  }
  return parsed;
}

}  // namespace commandline
