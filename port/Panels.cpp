// The beep and the open and save panels: host operations on the host's main
// thread.
#include "port/Panels.h"

#include <future>
#include <memory>

#include "port/Host.h"
#include "support/Bundle.h"
#include "support/qbtools.h"

namespace {

constexpr std::string_view kFileUrlScheme = "file://";

std::string percentDecoded(const std::string& text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (std::size_t index = 0; index < text.size(); ++index) {
    if (text[index] == '%' && index + 2 < text.size()) {
      const int high = hexvalues[static_cast<unsigned char>(text[index + 1])];
      const int low = hexvalues[static_cast<unsigned char>(text[index + 2])];
      if (high >= 0 && low >= 0) {
        decoded.push_back(static_cast<char>(high * 16 + low));
        index += 2;
        continue;
      }
    }
    decoded.push_back(text[index]);
  }
  return decoded;
}

// A host may answer with "file://" URLs; the callers want plain paths.
std::string pathOfChoice(const std::string& choice) {
  if (!choice.starts_with(kFileUrlScheme)) return choice;
  return percentDecoded(choice.substr(kFileUrlScheme.size()));
}

// Runs panel on the main thread while the calling thread waits. The hand-over
// is asynchronous, so the main thread never waits for the caller while the
// panel is up; the answer comes back through a promise of ours, which
// ThreadSanitizer sees (the host's own queue it may not). A host that drops
// the work unrun (it is going away) breaks the promise: no choice was made.
template <typename Result, typename Panel>
Result runPanelOnMain(Panel panel) {
  host::Host& desktop = host::current();
  if (desktop.isMainThread()) return panel();
  auto answer = std::make_shared<std::promise<Result>>();
  std::future<Result> result = answer->get_future();
  // the work holds the only reference, so dropping it breaks the promise
  desktop.runOnMainAsync([answer = std::move(answer), panel] { answer->set_value(panel()); });
  try {
    return result.get();
  } catch (const std::future_error&) {
    return Result{};
  }
}

}  // namespace

void beep() {
  if (!host::installed()) return;
  host::Host& desktop = host::current();
  const auto play = [] {
    host::Host& mainDesktop = host::current();
    if (!mainDesktop.playSound(resourcesPath() + "sysbeep.aif")) mainDesktop.systemBeep();
  };
  if (desktop.isMainThread()) {
    play();
  } else {
    desktop.runOnMainAsync(play);
  }
}

std::vector<std::string> openpanel(const std::string& title, const std::string& message,
                                   const std::string& allowedTypes, bool multipleSelection,
                                   bool filesSelectable, bool foldersMode) {
  host::OpenPanelRequest request;
  request.title = title;
  request.message = message;
  request.prompt = foldersMode ? "Wählen" : "Öffnen";
  request.allowedTypes = allowedTypes;
  request.multipleSelection = multipleSelection;
  request.filesSelectable = filesSelectable;
  request.foldersMode = foldersMode;
  std::vector<std::string> paths = host::current().openPanel(request);
  for (std::string& path : paths) path = pathOfChoice(path);
  return paths;
}

std::string savepanel(const std::string& title, const std::string& message,
                      const std::string& proposedName, const std::string& allowedTypes) {
  host::SavePanelRequest request;
  request.title = title;
  request.message = message;
  request.prompt = "Sichern";
  request.nameFieldLabel = "Sichern unter:";
  request.proposedName = proposedName;
  request.allowedTypes = allowedTypes;
  const std::string chosen = host::current().savePanel(request);
  return chosen.empty() ? chosen : pathOfChoice(chosen);
}

std::vector<std::string> openpanelonmain(const std::string& title, const std::string& message,
                                         const std::string& allowedTypes, bool multipleSelection,
                                         bool filesSelectable, bool foldersMode) {
  if (host::current().isMainThread()) {
    return openpanel(title, message, allowedTypes, multipleSelection, filesSelectable, foldersMode);
  }
  return runPanelOnMain<std::vector<std::string>>(
      [=] { return openpanel(title, message, allowedTypes, false, filesSelectable, foldersMode); });
}

std::string savepanelonmain(const std::string& title, const std::string& message,
                            const std::string& proposedName, const std::string& allowedTypes) {
  return runPanelOnMain<std::string>(
      [=] { return savepanel(title, message, proposedName, allowedTypes); });
}
