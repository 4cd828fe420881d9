#pragma once
// Building a command line that the program started receives argument by
// argument, as Windows splits command lines.

#include <string>

namespace fenmoor {

// The argument as it must appear on a command line: unchanged when it holds no
// blank, tab or double quote; otherwise in double quotes, with each quote
// written \" and the backslashes before a quote (or before the closing quote)
// doubled.
std::string QuoteArgument(const std::string& argument);

}  // namespace fenmoor
