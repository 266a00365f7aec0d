// libFuzzer target of the figures document reader (ReadFigureText): any
// bytes go in; nothing may crash, leak or read out of bounds, a document
// with problems gives no figures, every problem stays short, and the
// figures of an accepted document come back from the writer byte for byte.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "store/figure_text.h"

namespace {

// A problem quotes at most two values of about 60 characters, each
// character escaped in at most six bytes, beside a short path and text.
constexpr std::size_t kLongestProblem = 1000;

void Check(bool holds) {
  if (!holds) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zandorik;
  const FigureText read =
      ReadFigureText(std::string_view(reinterpret_cast<const char*>(data), size));
  Check(read.problems.size() <= kMaxProblems);
  Check(read.problems.empty() || read.figures.empty());
  for (const std::string& problem : read.problems)
    Check(!problem.empty() && problem.size() <= kLongestProblem);
  if (read.figures.empty()) return 0;

  std::string text;
  FigureTextWriter writer(text);
  writer.Begin();
  for (const FigureRecord& figure : read.figures)
    writer.Figure(figure, std::nullopt);
  writer.End();
  const FigureText again = ReadFigureText(text);
  Check(again.problems.empty() && again.figures.size() == read.figures.size());
  for (std::size_t i = 0; i < read.figures.size(); ++i)
    Check(EncodeRecord(again.figures[i]) == EncodeRecord(read.figures[i]));
  return 0;
}
