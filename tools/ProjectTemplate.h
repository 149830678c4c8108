// The files of a new game project (velmorat-tool new): a small German game
// that builds and wins at once, for an author to change scene by scene.
#pragma once

#include <string>
#include <vector>

namespace projecttemplate {

struct TemplateFile {
  std::string path;   // relative to the project folder
  std::string bytes;  // the file's content
};

// The project's files with title and id filled in; the PNG picture is drawn
// here, so that the template needs no files of its own.
std::vector<TemplateFile> projectFiles(const std::string& title, const std::string& id);

// "Der Leuchtturm" -> "de.example.derleuchtturm": an id for game.ini that the
// author is asked to change to a domain of their own.
std::string idForTitle(const std::string& title);

}  // namespace projecttemplate
