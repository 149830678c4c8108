// The statement table is the one list of statements: the README's table for
// authors and the language reference name exactly its keywords, and the table
// itself is well formed.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "adventure/Statements.h"

namespace {

// The keywords a document names, the first word of each `code` span ("?" for
// `?text`): in the first column of the table under the line that starts with
// start, or, when start is a heading ("### `"), in every heading like it.
std::set<std::string> documentedKeywords(const std::string& file, const std::string& start) {
  std::ifstream document(std::string(VELMORAT_SOURCE_DIR) + "/" + file);
  const bool headings = start.starts_with("#");
  std::set<std::string> keywords;
  const std::regex code("`([^`]*)`");
  std::string line;
  bool inTable = false;
  while (std::getline(document, line)) {
    std::string named;
    if (headings) {
      if (line.starts_with(start)) named = line;
    } else if (line.starts_with(start)) {
      inTable = true;
      continue;
    } else if (inTable) {
      if (!line.starts_with("|")) break;
      named = line.substr(1, line.find('|', 1) - 1);
    }
    for (std::sregex_iterator match(named.begin(), named.end(), code), end; match != end; ++match) {
      const std::string text = (*match)[1];
      keywords.insert(text[0] == '?' ? "?" : text.substr(0, text.find(' ')));
    }
  }
  return keywords;
}

TEST(StatementTable, TheReadmeAndTheReferenceNameEveryStatementAndNoOther) {
  std::set<std::string> table;
  for (const Statement& statement : VelmoratStatements()) {
    if (statement.keyword[0] != '\0') table.insert(statement.keyword);  // "" is the empty line
  }
  const std::pair<const char*, const char*> lists[] = {
      {"README.md", "| Statement | Effect |"},
      {"doc/sprache.md", "| Anweisung | Wirkung |"},
      {"doc/sprache.md", "### `"},  // each statement's own section
  };
  for (const auto& [file, start] : lists) {
    std::set<std::string> named = documentedKeywords(file, start);
    ASSERT_FALSE(named.empty()) << file << ": no list of statements under " << start;
    EXPECT_EQ(named, table) << file << ", the list under " << start;
  }
}

// The editors' definitions name the statements in line-start patterns
// ("^(?:ADD|AVAILABLE|...)", Vim's "\\v^%(...)"): together exactly the table's
// word keywords, and a statement that must fill its line only in a group that
// ends the line ("...)$").
TEST(StatementTable, TheEditorDefinitionsNameEveryStatementAndNoOther) {
  std::set<std::string> words;
  std::set<std::string> wholeLines;
  for (const Statement& statement : VelmoratStatements()) {
    if (std::isalpha(static_cast<unsigned char>(statement.keyword[0]))) {
      words.insert(statement.keyword);
      if (statement.exact) wholeLines.insert(statement.keyword);
    }
  }
  const std::regex group(R"(\^(?:\(\?:|%\(|\()?([A-Z]+(?:\|[A-Z]+)*)(\)\$)?)");
  for (const char* file : {"editors/kde/velmorat.xml", "editors/vim/syntax/velmorat.vim",
                           "editors/textmate/velmorat.tmLanguage.json"}) {
    std::ifstream stream(std::string(VELMORAT_SOURCE_DIR) + "/" + file);
    const std::string text((std::istreambuf_iterator<char>(stream)),
                           std::istreambuf_iterator<char>());
    std::set<std::string> named;
    for (std::sregex_iterator match(text.begin(), text.end(), group), end; match != end; ++match) {
      std::stringstream alternatives((*match)[1].str());
      for (std::string word; std::getline(alternatives, word, '|');) {
        named.insert(word);
        EXPECT_EQ((*match)[2].matched, wholeLines.contains(word)) << file << ": " << word;
      }
    }
    EXPECT_EQ(named, words) << file;
  }
}

TEST(StatementTable, EveryRowRunsAndNoRowIsHiddenBehindAnEarlierOne) {
  for (const Statement& statement : VelmoratStatements()) {
    EXPECT_NE(statement.run, nullptr) << statement.keyword;
    // A line that is exactly this keyword must reach this row.
    const Statement* found = VelmoratStatementOf(Text::fromBytes(statement.keyword));
    ASSERT_NE(found, nullptr) << statement.keyword;
    EXPECT_EQ(found, &statement) << "'" << statement.keyword << "' is taken by '" << found->keyword
                                 << "' first";
  }
}

}  // namespace
