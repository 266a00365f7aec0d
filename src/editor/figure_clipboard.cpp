#include "editor/figure_clipboard.h"

#include <algorithm>

#include "cost/calculations.h"
#include "editor/file_commands.h"
#include "store/figure_text.h"
#include "store/record_view.h"

namespace zandorik {
namespace {

// A message box lists at most this many problems.
constexpr std::size_t kProblemsShown = 10;

}  // namespace

bool FigureClipboard::ScreenRecord(FigureRecord& record) {
  if (std::string refused; !StoreFigureInRecord(editor_.Screen(), record, &refused)) {
    desktop_.ShowMessage(refused + kNothingCopied, kAppTitle);
    return false;
  }
  return true;
}

bool FigureClipboard::MenuCopyFigure_Click() {
  FigureRecord record;
  if (!ScreenRecord(record)) return false;
  // The points of the record itself, which is what a paste will price.
  CollectingSink sink;
  const Calculation calc = CalculateFigure(RecordFigure(record), sink);
  std::string text;
  FigureTextWriter writer(text);
  writer.Begin();
  writer.Figure(record, calc.points);
  writer.End();
  desktop_.SetClipboardText(text);
  return true;
}

bool FigureClipboard::MenuCopyShareCode_Click() {
  FigureRecord record;
  if (!codes_ || !ScreenRecord(record)) return false;
  desktop_.SetClipboardText(codes_->Code(record));
  return true;
}

bool FigureClipboard::MenuPasteFigure_Click() {
  const std::optional<std::string> text = desktop_.ClipboardText();
  if (!text) {
    desktop_.ShowMessage(std::string("The clipboard holds no text. ") + kScreenAsItWas, kAppTitle);
    return false;
  }
  return PasteFigureText(*text, "The clipboard");
}

bool FigureClipboard::PasteFigureText(const std::string& text, const std::string& source) {
  std::string problem;
  FigureRecord figure;
  std::size_t codeLines = 0;
  for (std::size_t at = 0; codes_ && at < text.size();) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    if (codes_->IsCode(std::string_view(text).substr(at, end - at))) ++codeLines;
    at = end + 1;
  }
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  const bool document = first != std::string::npos && (text[first] == '{' || text[first] == '[');
  if (codeLines > 1) {
    problem = source + " holds " + std::to_string(codeLines) +
              " share codes on separate lines; Paste Figure takes one at a time. ";
  } else if (codes_ && !document && (codes_->IsCode(text) || codes_->Mentions(text))) {
    if (!codes_->Read(text, figure, &problem))
      problem = source + " holds no figure that can be pasted:\n" + problem + "\n";
  } else if (const FigureText document = ReadFigureText(text); !document.problems.empty()) {
    problem = source + " holds no figure that can be pasted:\n" +
              ProblemLines(document.problems, document.unlisted, kProblemsShown);
  } else if (document.figures.size() != 1) {
    problem = document.figures.empty()
                  ? source + " holds a document without figures. "
                  : source + " holds " + std::to_string(document.figures.size()) +
                        " figures; Paste Figure takes one at a time. ";
  } else {
    figure = document.figures.front();
  }
  if (!problem.empty()) {
    desktop_.ShowMessage(problem + kScreenAsItWas, kAppTitle);
    return false;
  }
  editor_.LoadFigure(figure);
  return true;
}

}  // namespace zandorik
