#include <csignal>
#include <cstdio>

#include "cli/zandorik.h"
#include "store/system_calls.h"

int main(int argc, char** argv) {
  zandorik::ReserveStandardDescriptors();
  // A file-size limit must fail a write, which is then undone, not end the
  // program half way.
  std::signal(SIGXFSZ, SIG_IGN);
  return zandorik::RunZandorik({argv + 1, argv + argc}, stdout, stderr, stdin);
}
