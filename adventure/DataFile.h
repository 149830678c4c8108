// Adventure data files: DATAnnn.word in DataFolder, one per scene, each a
// stored LZW block of Latin-1 script text that ends with the line "@END".
#pragma once

#include <string>
#include <vector>

#include "support/Text.h"

// "DATA" + the scene in at least three digits + ".word" (scene 7: DATA007.word).
std::string VelmoratDataFileName(int scene);

// The lines of the scene's data file without the "@END" line; empty when the
// file cannot be read, does not decode or lacks "@END".
std::vector<Text> VelmoratLoadData(int scene);

// Turns decoded script text into its lines (the loader's steps after the LZW
// stage); empty with the log line when "@END" is missing. The script tools use it too.
std::vector<Text> VelmoratScriptLinesFromText(const Text& scriptText);

// Index of the first line "LABEL" + blanks + name + blanks, -1 if none.
int VelmoratFindLabel(const std::vector<Text>& lines, const Text& name);
