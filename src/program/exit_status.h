// The exit statuses of every program of the project: zandorik and each of
// its subcommands, zandorik-cost and zandorik-dial.
#pragma once

namespace zandorik {

inline constexpr int kExitOk = 0;
inline constexpr int kExitUnreadable = 1;   // a data file cannot be read, or is in use; no display
inline constexpr int kExitUsage = 2;        // the command line or the input is wrong
inline constexpr int kExitDamaged = 3;      // the data file is damaged
inline constexpr int kExitWriteFailed = 4;  // an output or a write to the data file failed

}  // namespace zandorik
