// zandorik-dial's command line: what goes to Qt, what is the program's own,
// what is refused; and a file named with bytes that are no UTF-8 opened as
// main() opens it.
#include "app/window_arguments.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <filesystem>

#include "app/form_main.h"
#include "app/window_icon.h"
#include "testing/test_data_file.h"
#include "testing/window/scripted_window_desktop.h"

namespace zandorik {
namespace {

using Action = DialCommandLine::Action;

DialCommandLine Parse(std::vector<std::string> args, std::string* error = nullptr) {
  static std::vector<std::string> kept;  // argv outlives the result
  kept = std::move(args);
  kept.insert(kept.begin(), "zandorik-dial");
  std::vector<char*> argv;
  for (std::string& arg : kept)
    argv.push_back(arg.data());
  argv.push_back(nullptr);
  DialCommandLine line;
  std::string why;
  if (!ParseDialCommandLine(static_cast<int>(kept.size()), argv.data(), line, &why) && why.empty())
    why = "refused without a reason";
  if (error) *error = why;
  return line;
}

std::vector<std::string> QtArguments(const DialCommandLine& line) {
  std::vector<std::string> qt;
  for (std::size_t i = 1; i + 1 < line.qtArguments.size(); ++i)
    qt.emplace_back(line.qtArguments[i]);
  return qt;
}

struct Case {
  std::vector<std::string> args;
  Action action;  // with an error: the command line is refused
  std::optional<std::string> file;
  std::vector<std::string> qt;
  std::string error;
};

TEST(DialCommandLineTest, OptionsFileAndQtOptions) {
  const Case cases[] = {
      {{}, Action::Run, std::nullopt, {}, ""},
      {{"figures.QMV"}, Action::Run, "figures.QMV", {}, ""},
      {{"-h"}, Action::Help, std::nullopt, {}, ""},
      {{"x.QMV", "--help"}, Action::Help, std::nullopt, {}, ""},
      {{"--version", "x.QMV"}, Action::Version, std::nullopt, {}, ""},
      {{"--version", "--bogus"}, Action::Run, std::nullopt, {}, "unknown option --bogus"},
      {{"--", "--version"}, Action::Run, "--version", {}, ""},
      {{"--", "-odd.QMV"}, Action::Run, "-odd.QMV", {}, ""},
      {{"-"},
       Action::Run,
       std::nullopt,
       {},
       "\"-\" is never a data file (it stands for standard input or output): name the data "
       "file, as figures.QMV"},
      {{"-style=Windows", "--title=T", "-sync"},
       Action::Run,
       std::nullopt,
       {"-style=Windows", "--title=T", "-sync"},
       ""},
      {{"\xff\xfe.QMV"}, Action::Run, "\xff\xfe.QMV", {}, ""},
      {{"-platform", "offscreen", "f.QMV", "-reverse"},
       Action::Run,
       "f.QMV",
       {"-platform", "offscreen", "-reverse"},
       ""},
      {{"--style", "Fusion", "-style=Windows", "-stylesheet", "a.qss"},
       Action::Run,
       std::nullopt,
       {"--style", "Fusion", "-style=Windows", "-stylesheet", "a.qss"},
       ""},
      {{"-x", "f.QMV"}, Action::Run, std::nullopt, {}, "unknown option -x"},
      {{"-platform"}, Action::Run, std::nullopt, {}, "the option -platform needs a value"},
      {{"-reverse=1"}, Action::Run, std::nullopt, {}, "the option -reverse takes no value"},
      {{"a.QMV", "b.QMV"}, Action::Run, "a.QMV", {}, "give one data file only"},
      {{"--", "-platform", "x"}, Action::Run, "-platform", {}, "give one data file only"},
  };
  for (const Case& c : cases) {
    std::string shown;
    for (const std::string& arg : c.args)
      shown += " " + arg;
    std::string error;
    const DialCommandLine line = Parse(c.args, &error);
    EXPECT_EQ(error, c.error) << shown;
    if (!error.empty()) continue;
    EXPECT_EQ(line.action, c.action) << shown;
    EXPECT_EQ(line.file, c.file) << shown;
    if (c.action == Action::Run) {
      EXPECT_EQ(QtArguments(line), c.qt) << shown;
      EXPECT_EQ(line.qtArguments.back(), nullptr) << shown;
    }
  }
  EXPECT_EQ(Parse({"--platform", "xcb"}).platform, "xcb");
  EXPECT_TRUE(Parse({"-display", ":3"}).display);
}

TEST(DialCommandLineTest, NoDisplayOnlyWithoutPlatformAndDisplays) {
  const char* const variables[] = {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"};
  std::vector<std::pair<const char*, QByteArray>> saved;
  for (const char* v : variables) {
    saved.emplace_back(v, qgetenv(v));
    qunsetenv(v);
  }
  EXPECT_TRUE(NoDisplayFor(Parse({})));
  EXPECT_FALSE(NoDisplayFor(Parse({"-platform", "offscreen"})));
  EXPECT_FALSE(NoDisplayFor(Parse({"-display", ":1"})));
  for (const char* v : variables) {
    qputenv(v, "x");
    EXPECT_FALSE(NoDisplayFor(Parse({}))) << v;
    qputenv(v, "");
    EXPECT_TRUE(NoDisplayFor(Parse({}))) << v;
    qunsetenv(v);
  }
  for (const auto& [v, value] : saved)
    if (!value.isNull()) qputenv(v, value);
}

// A name whose bytes are no UTF-8 would not survive a trip through Qt's
// argument list; the file must open all the same.
TEST(DialCommandLineTest, FileNamedInAnyEncodingOpens) {
  TestDataFile data;
  FigureRecord stored;
  stored.Name = "Byte Named";
  data.Write({stored});
  const std::string odd = (data.dir / "\xff figures.QMV").string();
  std::filesystem::rename(data.path, odd);

  const DialCommandLine line = Parse({odd});
  ASSERT_EQ(line.file, odd);
  ScriptedWindowDesktop desktop;
  FormMain form(desktop);
  EXPECT_TRUE(form.OpenDataFile(*line.file));
  ASSERT_EQ(form.ComboName()->count(), 1);
  EXPECT_EQ(form.ComboName()->itemText(0), "Byte Named");
}

TEST(WindowIconTest, BuiltInIconOnceTheWindowIsShown) {
  const QStringList paths = QIcon::themeSearchPaths();
  QIcon::setThemeSearchPaths({});  // no installed icon: the built-in one
  const QIcon icon = DialIcon();
  EXPECT_FALSE(icon.isNull());
  EXPECT_GE(icon.availableSizes().size(), 7);

  QApplication::setWindowIcon(QIcon());
  ScriptedWindowDesktop desktop;
  FormMain form(desktop);
  form.show();
  SetDialIconOnceShown(form);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  EXPECT_TRUE(QTest::qWaitFor([] { return !QApplication::windowIcon().isNull(); }));
  EXPECT_FALSE(form.windowIcon().isNull());
  QIcon::setThemeSearchPaths(paths);
  QApplication::setWindowIcon(QIcon());
}

}  // namespace
}  // namespace zandorik
