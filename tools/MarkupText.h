// Text put into XML or HTML (the JUnit report of test, the page of export
// --web): the characters that would open markup are written as entities.
#pragma once

#include <string>
#include <string_view>

namespace markuptext {

// <, >, & and " as entities; control characters other than line feed and tab,
// which XML 1.0 has no place for, left out.
std::string escaped(std::string_view text);

}  // namespace markuptext
