// zandorik: the figures of a data file from the command line, one
// subcommand per task (`zandorik repair FILE.QMV`, ...).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace zandorik {

class SystemCalls;

// Runs the program on its arguments (without the program name); the files
// it opens go through `calls` (tests inject faults), the real calls when
// null.
int RunZandorik(const std::vector<std::string>& args, std::FILE* out, std::FILE* err, std::FILE* in,
                SystemCalls* calls = nullptr);

}  // namespace zandorik
