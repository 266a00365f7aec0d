// Runs the `zandorik` program in the test's own process, with its output,
// errors and input in memory.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "cli/zandorik.h"

namespace zandorik {

struct CommandRun {
  int status;
  std::string out, err;
};

// `input` is the program's standard input; its files go through `calls`
// (the real system calls when null).
inline CommandRun Zandorik(const std::vector<std::string>& args, const std::string& input = {},
                           SystemCalls* calls = nullptr) {
  char *outText = nullptr, *errText = nullptr;
  std::size_t outSize = 0, errSize = 0;
  std::FILE* out = open_memstream(&outText, &outSize);
  std::FILE* err = open_memstream(&errText, &errSize);
  std::string in = input;
  std::FILE* inFile = fmemopen(in.data(), in.size() + 1, "r");  // +1: an empty input too
  if (input.empty()) std::fgetc(inFile);
  const int status = RunZandorik(args, out, err, inFile, calls);
  std::fclose(inFile);
  std::fclose(out);
  std::fclose(err);
  CommandRun run{status, std::string(outText, outSize), std::string(errText, errSize)};
  std::free(outText);
  std::free(errText);
  return run;
}

// An output's lines, without their line feeds.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

}  // namespace zandorik
