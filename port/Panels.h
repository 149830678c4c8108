// The beep and the open and save panels: the program's requests that the
// host answers through its interface (port/Host.h).
#pragma once

#include <string>
#include <vector>

// Plays "sysbeep.aif" from the resources on the main thread (unless it is
// already playing), else the host's system beep. Any thread; does not wait.
void beep();
// Main thread only. The chosen paths; empty when cancelled.
std::vector<std::string> openpanel(const std::string& title, const std::string& message,
                                   const std::string& allowedTypes, bool multipleSelection,
                                   bool filesSelectable, bool foldersMode);
std::string savepanel(const std::string& title, const std::string& message,
                      const std::string& proposedName, const std::string& allowedTypes);
// Any thread: from another thread the panel runs on the main thread while the
// caller waits. The open panel reached from another thread never allows a
// multiple selection.
std::vector<std::string> openpanelonmain(const std::string& title, const std::string& message,
                                         const std::string& allowedTypes, bool multipleSelection,
                                         bool filesSelectable, bool foldersMode);
std::string savepanelonmain(const std::string& title, const std::string& message,
                            const std::string& proposedName, const std::string& allowedTypes);
