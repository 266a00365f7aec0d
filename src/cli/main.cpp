#include <cstdio>

#include "cli/coster.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return zandorik::RunCoster(args, stdout, stderr);
}
