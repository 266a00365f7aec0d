// zandorik-cost: prices every figure of a data file at once.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace zandorik {

// Exit statuses of the batch coster.
inline constexpr int kCostOk = 0;
inline constexpr int kCostUnreadable = 1;  // missing or unreadable file
inline constexpr int kCostUsage = 2;       // bad command line
inline constexpr int kCostDamaged = 3;     // file read, but damage found

// Runs the coster on its arguments (without the program name).
int RunCoster(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

}  // namespace zandorik
