// Files that the host opens for the application (given on the command line,
// dropped on a window, chosen in the open panel) become file events on a
// queue of their own. Nothing in the program takes them; the queue exists so
// that a program can.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "toolbox/windows/Event.h"

// The failure that the host is given for every refused request: "operation
// not implemented" of the operating-system status domain.
inline constexpr int kDocumentUnimplemented = -4;

std::vector<t_Event> FileEventQueueCopy();
// The file events from index first on (see MenuEventQueueCopyFrom).
std::vector<t_Event> FileEventQueueCopyFrom(std::size_t first);
bool FileAvailable();
// The number of file events queued so far (the queue only grows). Any thread.
int FileEventCount();
// The file-event handler; an empty routine unless a program installs one.
void setFileEventHandler(std::function<void()> handler);

// The host's document requests. Main thread. Each returns true on success and
// otherwise stores kDocumentUnimplemented in *error.
class Document {
 public:
  bool readFromURL(const std::string& path, const std::string& typeName, int* error);
};

// Runs the file-event handler; started by startbackground.
void t_StartEventFile();
