#include <cstdio>

#include "cli/coster.h"
#include "store/system_calls.h"

int main(int argc, char** argv) {
  zandorik::ReserveStandardDescriptors();
  std::vector<std::string> args(argv + 1, argv + argc);
  return zandorik::RunCoster(args, stdout, stderr);
}
