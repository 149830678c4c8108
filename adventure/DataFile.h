// Adventure data files: DATAnnn.word in the data folder, one per scene, each a
// stored LZW block of Latin-1 script text that ends with the line "@END".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/Text.h"

// Largest decoded data file: room for scripts far beyond any scene an author
// writes; a few kilobytes of LZW codes can expand to gigabytes, so a larger
// file is refused.
inline constexpr std::size_t kMaxScriptBytes = std::size_t{64} << 20;
// Most line ends (CR or LF) of one data file. Each line is a record of its
// own, so 64 MiB of bare line ends would take gigabytes as lines; this allows
// a line end for every 32 bytes of a full-size script.
inline constexpr std::size_t kMaxScriptLineEnds = std::size_t{2} << 20;

// "DATA" + the scene in at least three digits + ".word" (scene 7: DATA007.word).
std::string VelmoratDataFileName(int scene);

// The lines of the scene's data file in dataFolder (ending with "/") without
// the "@END" line; empty when the file cannot be read, does not decode, decodes
// beyond kMaxScriptBytes or kMaxScriptLineEnds, or lacks "@END".
std::vector<Text> VelmoratLoadData(const std::string& dataFolder, int scene);

// Turns decoded script text into its lines (the loader's steps after the LZW
// stage); empty with the log line when "@END" is missing. The script tools use it too.
std::vector<Text> VelmoratScriptLinesFromText(const Text& scriptText);

// The decoded text of a stored data file; empty, with a log line naming
// fileName, when it does not decode or decodes beyond kMaxScriptBytes. The
// script tools share the bound.
std::vector<std::uint8_t> VelmoratDecodeStoredScript(const std::vector<std::uint8_t>& stored,
                                                     const std::string& fileName);

// The lines of a stored data file as VelmoratLoadData reads them (fileName
// names it in the log line); the script tools check files with it too.
std::vector<Text> VelmoratScriptLinesFromStored(const std::vector<std::uint8_t>& stored,
                                                const std::string& fileName);

// Index of the first line "LABEL" + blanks + name + blanks, -1 if none.
int VelmoratFindLabel(const std::vector<Text>& lines, const Text& name);
