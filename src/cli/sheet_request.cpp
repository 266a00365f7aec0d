#include "cli/sheet_request.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace zandorik {
namespace {

bool ParseNumber(const std::string& text, double& value) {
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  return !text.empty() && result.ec == std::errc() && result.ptr == end && std::isfinite(value);
}

// Qt's notes about the desktop it runs on (no runtime folder on a server,
// and the like) are not the user's business; its errors still show.
const char* qtMessagesBy = "zandorik";

void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg)
    std::fprintf(stderr, "%s: %s\n", qtMessagesBy, message.toLocal8Bit().constData());
}

}  // namespace

bool ReadSheetRequest(const ParsedArgs& args, SheetRequest& request, std::string& why) {
  request.output = args.Value("output");
  if (!args.Has("output") || request.output.empty()) {
    why = "name the sheet to write with -o OUT.pdf, OUT.svg or OUT.png";
    return false;
  }
  if (!SheetFormatOf(request.output)) {
    why = "the output \"" + request.output + "\" must end in .pdf, .svg or .png";
    return false;
  }
  const std::string paper = args.Value("paper", "a4");
  if (paper == "a4" || paper == "A4") {
    request.options.paper = Paper::A4;
  } else if (paper == "letter" || paper == "Letter") {
    request.options.paper = Paper::Letter;
  } else {
    why = "unknown paper \"" + paper + "\": a4 or letter";
    return false;
  }
  if (args.Has("diameter")) {
    const std::string text = args.Value("diameter");
    double d = 0;
    if (!ParseNumber(text, d) || d < kMinDiameter || d > kMaxDiameter) {
      why = "the diameter \"" + text + "\" is not a number of millimetres from " +
            std::to_string(static_cast<int>(kMinDiameter)) + " to " +
            std::to_string(static_cast<int>(kMaxDiameter));
      return false;
    }
    request.options.diameter = d;
  }
  request.options.registration = args.Has("registration");
  request.options.codes = !args.Has("no-codes");
  if (args.Has("dpi")) {
    const std::string text = args.Value("dpi");
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, request.dpi);
    if (text.empty() || result.ec != std::errc() || result.ptr != end || request.dpi < 30 ||
        request.dpi > 600) {
      why = "the resolution \"" + text + "\" is not a whole number of dots per inch from 30 to 600";
      return false;
    }
  }
  return true;
}

std::unique_ptr<QGuiApplication> StartQt(const char* me) {
  if (QCoreApplication::instance()) return nullptr;
  qtMessagesBy = me;
  qInstallMessageHandler(QuietQtMessages);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "zandorik";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace zandorik
