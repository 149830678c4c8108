// The statement table is the one list of statements: the README's table for
// authors names exactly its keywords, and the table itself is well formed.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <string>

#include "adventure/Statements.h"

namespace {

// The keywords of the first column of the README's "| Statement | Effect |"
// table: the first word of each `code` span ("?" for `?text`).
std::set<std::string> readmeKeywords() {
  std::ifstream readme(std::string(VELMORAT_SOURCE_DIR) + "/README.md");
  std::set<std::string> keywords;
  std::string line;
  bool inTable = false;
  const std::regex code("`([^`]*)`");
  while (std::getline(readme, line)) {
    if (line.rfind("| Statement | Effect |", 0) == 0) {
      inTable = true;
      continue;
    }
    if (!inTable) continue;
    if (line.rfind("|", 0) != 0) break;
    const std::string statements = line.substr(1, line.find('|', 1) - 1);
    for (std::sregex_iterator match(statements.begin(), statements.end(), code), end; match != end;
         ++match) {
      const std::string text = (*match)[1];
      keywords.insert(text[0] == '?' ? "?" : text.substr(0, text.find(' ')));
    }
  }
  return keywords;
}

TEST(StatementTable, TheReadmeNamesEveryStatementAndNoOther) {
  std::set<std::string> table;
  for (const Statement& statement : VelmoratStatements()) {
    if (statement.keyword[0] != '\0') table.insert(statement.keyword);  // "" is the empty line
  }
  std::set<std::string> readme = readmeKeywords();
  ASSERT_FALSE(readme.empty()) << "the README's statement table was not found";
  EXPECT_EQ(readme, table);
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
