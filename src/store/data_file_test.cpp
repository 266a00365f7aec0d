// Files that are not data files: the kinds of file the project writes
// itself, refused by every program before a byte is written, and names a
// data file never has.
#include "store/data_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/command_line.h"
#include "editor/file_commands.h"
#include "testing/command_run.h"
#include "testing/scripted_desktop.h"
#include "testing/test_data_file.h"

namespace zandorik {
namespace {

namespace fs = std::filesystem;

struct Shown {
  int status;
  std::string err;
};

Shown Program(const std::string& line) {
  const std::string err = (fs::temp_directory_path() / "zandorik_data_file_test_err").string();
  const int status = std::system((line + " >/dev/null 2>" + err).c_str());
  std::ifstream in(err);
  Shown shown{WEXITSTATUS(status), {std::istreambuf_iterator<char>(in), {}}};
  fs::remove(err);
  return shown;
}

// What each program says of FILE, and its exit status.
std::vector<std::pair<std::string, Shown>> EveryProgramOn(const std::string& file,
                                                          const std::string& json) {
  const std::string z = std::string(ZANDORIK_PROGRAM) + " ";
  std::vector<std::pair<std::string, Shown>> said = {
      {"export", Program(z + "export " + file)},
      {"import", Program(z + "import " + file + " " + json)},
      {"repair", Program(z + "repair " + file)},
      {"cost", Program(std::string(ZANDORIK_COST) + " " + file)},
  };
  if (Program(z + "sheet --help").status == 0)
    said.push_back({"sheet", Program(z + "sheet -o " + file + ".out.pdf " + file)});
  ScriptedDesktop desktop;
  DialEditor editor(desktop);
  FileCommands files(desktop, editor);
  const bool opened = files.OpenDataFile(file);
  said.push_back({"window", {opened ? 0 : kExitUnreadable, desktop.TakeTexts().at(0) + "\n"}});
  return said;
}

TEST(DataFile, WhatTheProjectWritesIsNeverTakenForADataFile) {
  TestDataFile data;
  FigureRecord figure;
  figure.Name = "Alley Cat";
  data.Write({figure});
  const std::string json = (data.dir / "made.json").string();
  ASSERT_EQ(Zandorik({"export", data.path, "-o", json}).status, 0);
  const struct {
    std::string name, bytes, kind;
  } files[] = {
      {"made.json", "", "a JSON document"},
      {"list.QMV", "\xEF\xBB\xBF [ {\"name\": 1} ]", "a JSON document"},
      {"sheet.pdf", "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n1 0 obj", "a PDF document"},
      {"sheet.svg", "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\">",
       "an SVG image"},
      {"page.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "a PNG image"},
  };
  for (const auto& f : files) {
    const std::string path = (data.dir / f.name).string();
    if (!f.bytes.empty()) std::ofstream(path, std::ios::binary) << f.bytes;
    std::ifstream in(path, std::ios::binary);
    const std::string before{std::istreambuf_iterator<char>(in), {}};
    for (const auto& [program, shown] : EveryProgramOn(path, json)) {
      SCOPED_TRACE(f.name + " in " + program);
      EXPECT_EQ(shown.status, kExitUnreadable);
      EXPECT_NE(shown.err.find(path + " is not a data file: it looks like " + f.kind + ".\n"),
                std::string::npos)
          << shown.err;
      std::ifstream after(path, std::ios::binary);
      EXPECT_EQ(std::string(std::istreambuf_iterator<char>(after), {}), before);
    }
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(data.dir), {}), 6);  // nothing new
}

// A new data file is never named as a document, "-" never names one.
TEST(DataFile, NamesADataFileNeverHas) {
  TestDataFile data;
  const std::string json = (data.dir / "a.json").string();
  TestDataFile::WriteTo(data.path, {FigureRecord{}});
  ASSERT_EQ(Zandorik({"export", data.path, "-o", json}).status, 0);
  const std::string z = std::string(ZANDORIK_PROGRAM) + " ";
  const std::string dash = "\"-\" is never a data file";
  const struct {
    std::string line, said;
  } cases[] = {
      {z + "import " + (data.dir / "made.json").string() + " " + json,
       "made.json would be a new data file named as a JSON document is"},
      {z + "import " + (data.dir / "x.PNG").string() + " " + json, "named as a PNG image is"},
      {z + "import - " + json, dash},
      {z + "export -", dash},
      {z + "repair -", dash},
      {z + "sheet -o " + (data.dir / "x.pdf").string() + " -", dash},
      {std::string(ZANDORIK_COST) + " -", dash},
  };
  for (const auto& c : cases) {
    const Shown shown = Program(c.line);
    EXPECT_EQ(shown.status, kExitUsage) << c.line;
    EXPECT_NE(shown.err.find(c.said), std::string::npos) << shown.err;
  }
  ScriptedDesktop desktop;
  DialEditor editor(desktop);
  FileCommands files(desktop, editor);
  desktop.files.push_back((data.dir / "new.svg").string());
  files.MenuFileNew_Click();
  EXPECT_NE(desktop.TakeTexts().at(0).find("new.svg would be a new data file named as an SVG"),
            std::string::npos);
  EXPECT_EQ(std::distance(fs::directory_iterator(data.dir), {}), 2);  // nothing new
}

}  // namespace
}  // namespace zandorik
