// The authoring side of data files: packing UTF-8 sources and unpacking them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "adventure/DataFile.h"
#include "adventure/ScriptAuthoring.h"
#include "support/qbtools.h"
#include "toolbox/graphics/Lzw.h"

using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;

namespace {

TEST(PackScript, StoresLatin1AndUnpacksToTheSameSource) {
  const std::string source = "?Grüße aus der Höhle\nREM ß und Ä\n@END\n";
  adventure::PackedScript packed = adventure::packScriptSource(source, "a.txt");
  ASSERT_THAT(packed.errors, IsEmpty());
  EXPECT_THAT(packed.warnings, IsEmpty());
  std::vector<std::uint8_t> text = lzw::unpackStoredBlock(packed.stored);
  EXPECT_EQ(std::string(text.begin(), text.end()),
            "?Gr\xFC\xDF"
            "e aus der H\xF6hle\nREM \xDF und \xC4\n@END\n");
  EXPECT_EQ(adventure::unpackScript(packed.stored), source);
  EXPECT_THAT(VelmoratScriptLinesFromText(Text(text)),
              ElementsAre(stringtotext("?Grüße aus der Höhle"), stringtotext("REM ß und Ä")));
}

TEST(PackScript, NamesFileAndLineOfCharactersOutsideLatin1) {
  adventure::PackedScript packed = adventure::packScriptSource(
      "?eins\n?zwei kostet 5 €\n?drei \xFF\n?vier \xF0\x9F\x8C\xBA\n?„fünf“\n@END\n", "b.txt");
  EXPECT_THAT(packed.errors, ElementsAre("b.txt:2: character U+20AC is not Latin-1",
                                         "b.txt:3: broken UTF-8 (the file must be UTF-8 text)",
                                         "b.txt:4: character U+1F33A is not Latin-1",
                                         "b.txt:5: character U+201E is not Latin-1 (pack-script "
                                         "--fix-typography replaces it)",
                                         "b.txt:5: character U+201C is not Latin-1 (pack-script "
                                         "--fix-typography replaces it)"));
  EXPECT_THAT(packed.stored, IsEmpty());
}

// What the packer makes of a source, as the game will read it.
TEST(PackScript, ConvertsWhatEditorsWrite) {
  struct Case {
    const char* source;
    adventure::PackOptions options;
    const char* latin1;  // empty: refused
  } cases[] = {
      {"\xEF\xBB\xBF?Hallo\n@END\n", {}, "?Hallo\n@END\n"},  // byte order mark skipped
      {"?„Ja“, ‚nein‘ – “so” ‘da’ — …\n@END\n",
       {.fixTypography = true},
       "?\"Ja\", 'nein' - \"so\" 'da' -- ...\n@END\n"},
      {"?ohne Ende\n", {}, ""},
      {"?ohne Ende\n", {.allowMissingEnd = true}, "?ohne Ende\n"},
  };
  for (const Case& c : cases) {
    adventure::PackedScript packed = adventure::packScriptSource(c.source, "e.txt", c.options);
    if (*c.latin1 == '\0') {
      EXPECT_THAT(packed.errors, ElementsAre(HasSubstr("--allow-missing-end"))) << c.source;
      continue;
    }
    ASSERT_THAT(packed.errors, IsEmpty()) << c.source;
    std::vector<std::uint8_t> text = lzw::unpackStoredBlock(packed.stored);
    EXPECT_EQ(std::string(text.begin(), text.end()), c.latin1);
  }
}

// A binary file gives a bounded report: the first errors and a count.
TEST(PackScript, ListsAFewErrorsOfABinaryFile) {
  std::string binary;
  for (int i = 0; i < 5000; ++i) binary += "\xFF\n";
  adventure::PackedScript packed = adventure::packScriptSource(binary, "DATA001.txt");
  ASSERT_EQ(packed.errors.size(), adventure::kMaxListedPackErrors + 2);
  EXPECT_EQ(packed.errors[adventure::kMaxListedPackErrors],
            "DATA001.txt: 4990 more error(s) of this kind");
}

TEST(UnpackScript, GivesNothingForABrokenBlock) {
  EXPECT_EQ(adventure::unpackScript({}), "");
  EXPECT_EQ(adventure::unpackScript({0}), "");
}

// The tools read data files within the game's bound: a 21 KB block whose
// 12,000 codes decode to 72 MB is refused, not written out.
TEST(UnpackScript, RefusesWhatTheGameWouldRefuse) {
  std::vector<LzwCode> chain{'x'};
  for (LzwCode code = 256; code < 256 + 12'000; ++code) chain.push_back(code);
  std::vector<std::uint8_t> bomb{14};
  const std::vector<std::uint8_t> packed = codestobits(chain, 14);
  bomb.insert(bomb.end(), packed.begin(), packed.end());
  testing::internal::CaptureStdout();
  EXPECT_EQ(adventure::unpackScript(bomb), "");
  EXPECT_THAT(testing::internal::GetCapturedStdout(), HasSubstr("is larger than 67108864 bytes"));
}

}  // namespace
