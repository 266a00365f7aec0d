// What every program does with its output: finish it, checked, and show
// the texts it did not write itself (names, paths) without their control
// characters.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace zandorik {

// Flushes the program's output. Done: `status`. Else the failure is said on
// `err` (after `who`, with `done`, what was already done and stays done)
// and the status is kExitWriteFailed.
int FinishOutput(std::FILE* out, std::FILE* err, std::string_view who, int status,
                 std::string_view done = {});

// A text with its control characters written visibly: \b \t \n \f \r, and
// \u00xx for the others (C0, DEL and the C1 controls U+0080 to U+009F).
// Everything else, backslashes included, is left as it is.
std::string VisibleText(std::string_view text);

// Writes the escape of the control character `c` (below 0x20, 0x7F, or
// U+0080 to U+009F) at `to`, which has room for 6 characters; returns its end.
char* EscapeControl(unsigned c, char* to);

}  // namespace zandorik
