// zandorik-cost: the older name of `zandorik cost`, kept as a thin alias.
#include <cstdio>

#include "cli/subcommand.h"
#include "store/system_calls.h"

int main(int argc, char** argv) {
  zandorik::ReserveStandardDescriptors();
  return zandorik::RunCoster({argv + 1, argv + argc}, stdout, stderr);
}
