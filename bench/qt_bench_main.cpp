// main() of the benchmarks that need a Qt application: the offscreen
// platform unless told otherwise, and the program's look.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "app/form_main.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  zandorik::ApplyDialLook();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
