// qbtools: the plain routines that the whole program shares. Files, byte
// strings (Text, Latin-1) and Unicode strings (std::string, UTF-8), BASIC-style
// string routines whose positions count from 1, German number formatting,
// thread numbers and background work. The beep and the open and save panels
// are in port/Panels.h.
//
// Everything except startbackground is pure and may be
// called from any thread. Positions in the string routines count Unicode
// scalars; positions in the Text routines count bytes.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "support/Text.h"

// --- Initialisation and files ------------------------------------------------

// Seeds the random generator, gives the calling thread (the host's main
// thread) its number and logs its start and end.
void initqbtools();
bool qbtoolsInitialized();

// Files larger than this are refused: no caller needs more, and a stray path
// (a device, a huge file) must not make the process allocate without bound.
inline constexpr std::uint64_t kMaxWholeFileBytes = 256ull * 1024 * 1024;

// The whole file; empty (after a log line "getbinaryfromfile: Error #...") on
// any error. gettextfromfile differs only in its log prefix.
std::vector<std::uint8_t> getbinaryfromfile(const std::string& path);
std::vector<std::uint8_t> gettextfromfile(const std::string& path);
// -1 empty path, 0 nothing there, 1 a file, 2 a folder.
int fileexists(const std::string& path);
// The characters after the last "/" (all of path when there is none).
std::string filenamefrompath(const std::string& path);

// --- Text and its conversions ------------------------------------------------

// Bytes as Latin-1; ESC + four hex digits + GS as the Unicode character of
// that code; an incomplete sequence keeps its ESC as a character.
std::string texttostring(const Text& text);
// Characters below 256 as one byte, all others (and broken UTF-8) as 127.
Text stringtotext(const std::string& text);
// The UTF-8 bytes unchanged.
Text stringtobytes(const std::string& text);
// The bytes read as UTF-8 when they are valid UTF-8, else through texttostring:
// how the log shows a Text whose encoding is not known.
std::string textforlog(const Text& text);

// Leading blanks, optional "-", optional blanks, digits; 0 without digits.
// Saturates at the limits of the type instead of overflowing.
std::int64_t texttoint(const Text& text);
Text inttotext(std::int64_t value);
// 1, 0 or -1: unsigned bytes from the first; a prefix sorts first.
int textcompare(const Text& a, const Text& b);
// 1-based position of needle at or after start; 0 when missing or empty.
int position(const Text& haystack, const Text& needle, int start);
std::vector<Text> textsplit(const Text& text, std::uint8_t separator);
// Splits at CR and at LF (so CR LF gives an empty piece between them).
std::vector<Text> textlines(const Text& text);
Text textjoin(const std::vector<Text>& pieces, std::uint8_t separator);
Text textleft(const Text& text, int count);
Text textfrom(const Text& text, int start);
// Latin-1 letters; ß becomes "SS".
Text textupper(const Text& text);
Text textlower(const Text& text);
Text texttrim(const Text& text);
Text textpad(const Text& text, int width);

// --- Strings (UTF-8, positions count Unicode scalars from 1) -------------------

std::string stringchar(const std::string& text, int index);
std::string stringfrom(const std::string& text, int start);
std::string stringmid(const std::string& text, int start, int length);
int stringinstr(const std::string& text, const std::string& pattern, int start);
inline constexpr int kMaxStringRepeat = 32767;
std::string stringrepeat(const std::string& text, int count);
std::string stringspaces(int count);
std::string stringfirstline(const std::string& text);
std::string stringjustify(const std::string& left, const std::string& right, int width);
// Code of the first character, 0 for an empty string.
int asc(const std::string& text);
// First character of the upper- or lowercase form; a negative code gives 0.
int chrupper(int code);
int chrlower(int code);

// --- Numbers -------------------------------------------------------------------

// Digits, "." between groups of three when groups, sign, then padded on the
// left with padCharacter (a Unicode code; negative or invalid pads nothing)
// up to width characters.
std::string formatnumber(std::int64_t value, int padCharacter, int width, bool groups);
// A real number in German notation: grouped integer part, decimal comma and
// exactly `decimals` digits of fraction, cut (not rounded). A negative number
// of decimals counts as 0; the width pads on the left like formatnumber.
std::string formatdouble(int padCharacter, int width, int decimals, bool groups, double value);
// Shortest exact decimal with "," for "."; a final ",0" is dropped.
std::string doubletostring(double value);

extern const std::array<char, 16> hexdigits;
// 0..15 for the bytes "0"-"9", "A"-"F", "a"-"f"; -1 for every other byte.
extern const std::array<int, 256> hexvalues;
std::string hexbyte(std::uint64_t value);
Text wordtohex(std::uint64_t value);
std::string longtohex(std::uint64_t value);

// --- Threads -------------------------------------------------------------------

// Each thread gets the next number (1, 2, 3, ...) the first time it asks and
// keeps it: the host's main thread asks first (at launch, in initqbtools) and
// is 1, the program thread asks next (in t_InitMemory) and is 2.
int threadnumber();
inline constexpr std::size_t kBackgroundStackBytes = 0x80000;
// Runs routine on a new detached thread with a 512 KB stack and returns at once.
void startbackground(std::function<void()> routine);
