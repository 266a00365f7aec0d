// zandorik-cost: prices every figure of a data file at once.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace zandorik {

// Exit statuses of the batch coster.
inline constexpr int kCostOk = 0;
inline constexpr int kCostUnreadable = 1;   // missing or unreadable file, or not a regular file
inline constexpr int kCostUsage = 2;        // bad command line
inline constexpr int kCostDamaged = 3;      // file read, but damage found
inline constexpr int kCostWriteFailed = 4;  // the output could not be written

// Runs the coster on its arguments (without the program name).
int RunCoster(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

// A text with its control characters written visibly: \b \t \n \f \r, and
// \u00xx for the others (C0, DEL and the C1 controls U+0080 to U+009F).
// Everything else, backslashes included, is left as it is.
std::string VisibleText(std::string_view text);

}  // namespace zandorik
