// Adventure data files: DATAnnn.word in the data folder, one per scene, each a
// stored LZW block of Latin-1 script text that ends with the line "@END".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/Text.h"

// Largest decoded data file. The game's scripts are a few kilobytes; a few
// kilobytes of LZW codes can expand to hundreds of megabytes of line ends,
// which as lines would take gigabytes, so a larger file is refused.
inline constexpr std::size_t kMaxScriptBytes = std::size_t{1} << 20;

// "DATA" + the scene in at least three digits + ".word" (scene 7: DATA007.word).
std::string VelmoratDataFileName(int scene);

// The lines of the scene's data file in dataFolder (ending with "/") without
// the "@END" line; empty when the file cannot be read, does not decode, decodes
// beyond kMaxScriptBytes or lacks "@END".
std::vector<Text> VelmoratLoadData(const std::string& dataFolder, int scene);

// Turns decoded script text into its lines (the loader's steps after the LZW
// stage); empty with the log line when "@END" is missing. The script tools use it too.
std::vector<Text> VelmoratScriptLinesFromText(const Text& scriptText);

// The lines of a stored data file as VelmoratLoadData reads them (fileName
// names it in the log line); the script tools check files with it too.
std::vector<Text> VelmoratScriptLinesFromStored(const std::vector<std::uint8_t>& stored,
                                                const std::string& fileName);

// Index of the first line "LABEL" + blanks + name + blanks, -1 if none.
int VelmoratFindLabel(const std::vector<Text>& lines, const Text& name);
