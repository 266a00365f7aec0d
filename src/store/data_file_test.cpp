// Files that are not data files: the kinds of file the project writes,
// refused by every program, the window included, and names a data file
// never has.
#include "store/data_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/subcommand.h"
#include "editor/file_commands.h"
#include "testing/command_run.h"
#include "testing/scripted_desktop.h"
#include "testing/test_data_file.h"

namespace zandorik {
namespace {

namespace fs = std::filesystem;

// A program's exit status and standard error.
std::pair<int, std::string> Program(const std::string& line, const fs::path& dir) {
  const int status = std::system((line + " >/dev/null 2>" + (dir / "err").string()).c_str());
  std::ifstream in(dir / "err");
  std::string err{std::istreambuf_iterator<char>(in), {}};
  fs::remove(dir / "err");
  return {WEXITSTATUS(status), err};
}

TEST(DataFile, WhatTheProjectWritesIsNeverTakenForADataFile) {
  TestDataFile data;
  data.Write({FigureRecord{}});
  const std::string json = (data.dir / "made.json").string(), z = ZANDORIK_PROGRAM " ";
  ASSERT_EQ(Zandorik({"export", data.path, "-o", json}).status, 0);
  const bool sheet = Program(z + "sheet --help | grep -q -- --output", data.dir).first == 0;
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
    const std::string before = TestDataFile::ReadFrom(path);
    const std::string said = path + " is not a data file: it looks like " + f.kind + ".";
    for (const std::string& line :
         {z + "export " + path, z + "import " + path + " " + json, z + "repair " + path,
          sheet ? z + "sheet -o " + path + ".pdf " + path : z, ZANDORIK_COST " " + path}) {
      const auto [status, err] = Program(line, data.dir);
      EXPECT_EQ(status, line == z ? kExitUsage : kExitUnreadable) << line;
      EXPECT_TRUE(line == z || err.ends_with(": " + said + "\n")) << err;
    }
    ScriptedDesktop desktop;
    DialEditor editor(desktop);
    FileCommands window(desktop, editor);
    EXPECT_FALSE(window.OpenDataFile(path));
    EXPECT_EQ(desktop.TakeTexts().at(0), said);
    EXPECT_EQ(TestDataFile::ReadFrom(path), before);
  }

  // A new data file is never named as a document, "-" never names one.
  const std::string dash = "\"-\" is never a data file (it stands for standard input or output)";
  for (const auto& [line, said] : std::vector<std::pair<std::string, std::string>>{
           {z + "import " + (data.dir / "new.json").string() + " " + json,
            "new.json would be a new data file named as a JSON document is"},
           {z + "import " + (data.dir / "x.PNG").string() + " " + json, "named as a PNG image is"},
           {z + "import - " + json, dash},
           {z + "export -", dash},
           {z + "repair -", dash},
           {z + (sheet ? "sheet -o " + (data.dir / "x.pdf").string() + " -" : "export -"), dash},
           {std::string(ZANDORIK_COST) + " -", dash}}) {
    const auto [status, err] = Program(line, data.dir);
    EXPECT_EQ(status, kExitUsage) << line;
    EXPECT_NE(err.find(said), std::string::npos) << err;
  }
  ScriptedDesktop desktop;
  DialEditor editor(desktop);
  FileCommands window(desktop, editor);
  desktop.files.push_back((data.dir / "new.svg").string());
  window.MenuFileNew_Click();
  EXPECT_NE(desktop.TakeTexts().at(0).find("new.svg would be a new data file named as an SVG"),
            std::string::npos);
  EXPECT_EQ(std::distance(fs::directory_iterator(data.dir), {}), 6);  // nothing new
}

// The one rule of where a saved figure goes (PlaceFigures, which the
// window's FindRecordByName runs too). A file is written as its records'
// names, "-" for a deleted record, "-A" for a deleted one still holding A.
TEST(DataFile, SavedFiguresGoOverTheirNameElseTheLastFreeRecordElseTheEnd) {
  const struct {
    std::vector<std::string> file, names;
    std::string places;  // record numbers, "s" after one that replaced a figure
  } cases[] = {
      {{"A", "B"}, {"B"}, "2s"},
      {{"A", "B", "A"}, {"A"}, "1s"},
      {{"A", "B"}, {"C"}, "3"},
      {{"-", "A", "-", "B"}, {"C"}, "3"},
      {{"-A", "B", "-"}, {"A"}, "1"},
      {{"A", "-", "B", "-"}, {"B", "C", "D", "E"}, "3s 4 2 5"},
      {{"A", "-"}, {"C", "C", "A"}, "2 2s 1s"},
      {{"A", "-"}, {""}, "2"},
      {{}, {"A", "B"}, "1 2"},
  };
  for (const auto& c : cases) {
    TestDataFile data;
    std::vector<FigureRecord> records;
    for (const std::string& name : c.file) {
      FigureRecord& r = records.emplace_back(name == "-" ? DeletedRecord() : FigureRecord{});
      r.Name = name.starts_with('-') ? name.substr(1) : name;
      if (name.starts_with('-')) r.Deleted = -1;
    }
    data.Write(records);
    std::vector<std::string> names;
    for (const std::string& name : c.names)
      names.push_back(name.empty() ? name : FitName(name));
    DataFile file;
    FileError error;
    ASSERT_TRUE(file.Open(data.path, false, &error)) << error.description;
    std::vector<DataFile::Found> places;
    ASSERT_TRUE(file.PlaceFigures(names, places, &error));
    std::string shown;
    for (const DataFile::Found& place : places)
      shown +=
          (shown.empty() ? "" : " ") + std::to_string(place.number) + (place.stored ? "s" : "");
    EXPECT_EQ(shown, c.places) << ::testing::PrintToString(c.file) << " "
                               << ::testing::PrintToString(c.names);
    DataFile::Found found;
    ASSERT_TRUE(file.FindRecordByName(c.names.front(), found, &error));
    EXPECT_EQ(found.number, places.front().number);
  }
}

}  // namespace
}  // namespace zandorik
