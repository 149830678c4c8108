// The statement table is the one list of statements: the README's table for
// authors and the language reference name exactly its keywords, and the table
// itself is well formed.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
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
