#include "launcher/GameIdentity.h"

#include <cstdio>
#include <filesystem>

#include "adventure/GameInfo.h"
#include "app/Main.h"
#include "support/Bundle.h"
#include "support/StateFolder.h"

std::string adoptGameIdentity(const std::string& ownAppId) {
  const std::string path = resourcesPath() + adventure::kGameInfoFileName;
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return ownAppId;
  const adventure::GameInfoReading reading = adventure::readGameInfo(path);
  for (const std::string& fault : reading.faults)
    std::fprintf(stderr, "velmorat: %s\n", fault.c_str());
  if (!reading.faults.empty()) return ownAppId;
  const adventure::GameInfo& info = reading.info;
  setStateFolderName(adventure::stateFolderNameOf(info));
  // The engine's own game keeps its credit line with the years.
  if (info.id != adventure::kEngineGameId) VelmoratSetTitle(info.title, "von " + info.author);
  return info.id;
}
