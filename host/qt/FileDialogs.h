// The open and save panels. Qt's own dialog on every desktop, so that it
// speaks German with the rest of the game (a desktop's native dialog follows
// the desktop's language); filters are named by what the files are.
#pragma once

#include <QStringList>
#include <string>
#include <vector>

#include "port/Host.h"

// "txt,gr" as filters: the allowed types together, then each by its name;
// "Alle Dateien (*)" when no type is given or othersToo.
QStringList nameFilters(const std::string& allowedTypes, bool othersToo);

std::vector<std::string> runOpenPanel(const host::OpenPanelRequest& request);
std::string runSavePanel(const host::SavePanelRequest& request);
// Ablage > Öffnen: files to open as documents; empty when cancelled.
QStringList chooseDocuments();
