// `zandorik export` and `zandorik import` on real data files: round trips,
// refused documents, the places figures go, and a write that fails part way.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <rapidjson/document.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "cli/subcommand.h"
#include "cli/zandorik.h"
#include "editor/file_commands.h"
#include "store/data_file.h"
#include "store/figure_text.h"
#include "testing/command_run.h"
#include "testing/faulty_calls.h"
#include "testing/random_record.h"
#include "testing/scripted_desktop.h"
#include "testing/test_data_file.h"

namespace zandorik {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The "points" of every figure, as numbers or "null".
std::vector<std::string> ExportedPoints(const std::string& text) {
  std::vector<std::string> points;
  for (const std::string& line : Lines(text)) {
    if (line.starts_with("      \"points\": ")) points.push_back(line.substr(16));
  }
  return points;
}

class FigureCommandsTest : public ::testing::Test {
 protected:
  std::string Path(const char* name) const { return (data.dir / name).string(); }

  TestDataFile data;
  const std::string& path = data.path;
};

TEST_F(FigureCommandsTest, RandomFileComesBackByteForByteWithTheCostersPoints) {
  const std::vector<FigureRecord> records = RandomNamedRecords(10000, 41);
  data.Write(records);
  const CommandRun exported = Zandorik({"export", path});
  ASSERT_EQ(exported.status, 0) << exported.err;
  EXPECT_EQ(Zandorik({"export", path}).out, exported.out);  // twice: the same bytes

  // The points are the coster's, figure for figure.
  const std::string costed = Path("cost.json");
  // A damaged file: the coster says so on stderr and ends with 3.
  const int costStatus = std::system(
      (std::string(ZANDORIK_COST) + " --json " + path + " > " + costed + " 2>&-").c_str());
  ASSERT_EQ(WEXITSTATUS(costStatus), 3);
  rapidjson::Document cost;
  cost.Parse(ReadFile(costed).c_str());
  ASSERT_TRUE(cost.IsArray());
  std::vector<std::string> costPoints;
  for (const auto& figure : cost.GetArray()) {
    costPoints.push_back(figure["points"].IsNull() ? "null"
                                                   : std::to_string(figure["points"].GetInt()));
  }
  EXPECT_EQ(ExportedPoints(exported.out), costPoints);

  const std::string copy = Path("copy.QMV");
  const CommandRun imported = Zandorik({"import", copy, "-"}, exported.out);
  ASSERT_EQ(imported.status, 0) << imported.err;
  std::string expected;
  for (const FigureRecord& r : records) {
    const RecordBytes bytes = EncodeRecord(r);
    if (!r.IsDeleted()) expected.append(bytes.begin(), bytes.end());
  }
  EXPECT_EQ(ReadFile(copy), expected);
  EXPECT_EQ(imported.out, std::to_string(costPoints.size()) + " figures stored: 0 replaced, " +
                              std::to_string(costPoints.size()) + " added\n");
}

TEST_F(FigureCommandsTest, OneChangedClickChangesItsLineAndThePoints) {
  fs::copy_file(ZANDORIK_EXAMPLES_DIR "/figures.QMV", path);
  const std::vector<std::string> before = Lines(Zandorik({"export", path}).out);
  {
    DataFile file;
    FileError error;
    ASSERT_TRUE(file.Open(path, false, &error));
    FigureRecord record;
    ASSERT_TRUE(file.Read(3, record, &error));
    record.RowOf(StatRow::Attack).Colour[2] = 255;  // Red
    ASSERT_TRUE(file.Write(3, record, &error, nullptr));
  }
  const std::vector<std::string> after = Lines(Zandorik({"export", path}).out);
  ASSERT_EQ(after.size(), before.size());
  std::vector<std::string> changed;
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (after[i] != before[i]) changed.push_back(after[i]);
  }
  // The click's line, and the figure's price, which follows it.
  EXPECT_EQ(changed,
            (std::vector<std::string>{
                R"(          {"value": 8, "colour": "Red", "power": "Blades/Claws/Fangs"},)",
                R"(      "points": 64)"}));
}

// Every refused document leaves the data file as it was, byte for byte.
TEST_F(FigureCommandsTest, RefusedDocumentsChangeNothing) {
  fs::copy_file(ZANDORIK_EXAMPLES_DIR "/figures.QMV", path);
  const std::string bytes = ReadFile(path);
  const std::string good = Zandorik({"export", path, "Worked"}).out;
  const auto edit = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  const std::string speed0 = R"({"value": 8, "colour": "White", "power": "None"})";
  std::string twice = good;
  twice.insert(
      twice.rfind("\n  ]"),
      "," + good.substr(good.find("\n    {"), good.rfind("    }") + 5 - good.find("\n    {")));
  const struct {
    std::string document;
    std::string problem;
  } cases[] = {
      {"", "line 1, column 1: The document is empty."},
      {bytes,
       "the document is a data file, not a figures document (the JSON text zandorik export "
       "writes)"},
      {"%PDF-1.4\n",
       "the document is a PDF document, not a figures document (the JSON text "
       "zandorik export writes)"},
      {edit("\"team\": ", "\"team\" "),
       "line 8, column 14: Missing a colon after a name of object member."},
      {"{\"format\": \"zandorik-figures\", \"version\": 1, \"figures\": []} x",
       "line 1, column 61: The document root must not be followed by other values."},
      {edit("\"range\": 6", "\"range\": \"6\""),
       "figures[0].range: must be a whole number, not a text"},
      {edit("\"range\": 6", "\"range\": 6.5"),
       "figures[0].range: must be a whole number, not a number with a fraction"},
      {edit("\"range\": 6", "\"range\": 40000"),
       "figures[0].range: 40000 does not fit in a record (values go from -32768 to 32767)"},
      {edit(speed0, R"({"value": -32769, "colour": "White"})"),
       "figures[0].dial.speed[0].value (Speed, click 1): -32769 does not fit in a record (values "
       "go from -32768 to 32767)"},
      {edit("\"rank\"", "\"Rank\""), "figures[0]: unknown key \"Rank\""},
      {edit(speed0, R"({"value": 8, "colour": "Purple"})"),
       "figures[0].dial.speed[0] (Speed, click 1): unknown colour \"Purple\""},
      {edit(speed0, R"({"value": 8, "power": "Flying"})"),
       "figures[0].dial.speed[0] (Speed, click 1): unknown power \"Flying\" on the Speed row"},
      {edit(speed0, R"({"value": 8, "colour": "Red", "power": "Stealth"})"),
       "figures[0].dial.speed[0] (Speed, click 1): the colour \"Red\" means \"Flurry\" on the "
       "Speed row, not \"Stealth\""},
      {edit(speed0, R"({"colour": "Red"})"),
       "figures[0].dial.speed[0] (Speed, click 1): no \"value\""},
      {edit("\"team\": \"Ironwood Guard\"", "\"team\": \"ironwood guard\""),
       "figures[0].team: unknown team \"ironwood guard\""},
      {edit("\"move\": \"Flight\"", "\"move\": \"Swim\""),
       "figures[0].move: unknown movement \"Swim\""},
      {edit(speed0 + ",\n", ""), "figures[0].dial.speed: 11 clicks are needed, not 10"},
      {edit("[true, true, false]", "[true, true]"), "figures[0].bolts: 3 bolts are needed, not 2"},
      {edit("\"name\": \"Worked\"", "\"name\": \"A name of thirty-one characters\""),
       "figures[0].name: the name \"A name of thirty-one characters\" has 31 characters; a data "
       "file holds 30"},
      {edit("\"name\": \"Worked\"", "\"name\": \"Worked \\u263A\""),
       "figures[0].name: the name \"Worked \xE2\x98\xBA\" holds the character \"\xE2\x98\xBA\", "
       "which a data file cannot store"},
      {edit("\"name\": \"Worked\"", "\"name\": {\"bytes\": \"41 42\"}"),
       "figures[0].name.bytes: must be 30 bytes, each as two hex digits"},
      {twice, "figures[1]: the name \"Worked\" is given twice (also figures[0])"},
      {edit("\"version\": 1", "\"version\": 2"),
       "version: version 2 is not known here: this program reads version 1"},
      {edit("zandorik-figures", "figures"),
       "format: must be \"zandorik-figures\", not \"figures\""},
      {"[1, 2]", "the document: must be an object, not a list"},
      // A list or object past the third bolt once took another's frame.
      {R"({"figures":[{"bolts":[0,0,0,{}]}]})", "figures[0].bolts: 3 bolts are needed, not 4"},
      {R"({"figures":[{"bolts":[0,0,0,{"a":0}]}]})", "figures[0].bolts: 3 bolts are needed, not 4"},
      {R"({"figures":[{"bolts":[0,0,0,[],1]}]})", "figures[0].bolts: 3 bolts are needed, not 5"},
      {edit("\"figures\": [", "\"figures\": [" + std::string(1000000, '[')),
       "line 4, column 20: lists and objects are nested deeper than a figures document goes (7 "
       "levels)"},
      {edit("\"name\": \"Worked\"", "\"name\": \"" + std::string(100000, 'W') + "\""),
       "figures[0].name: the name \"" + std::string(60, 'W') +
           "...\" has 100000 characters; a data file holds 30"},
  };
  const std::string named = path + ".document";
  for (const auto& c : cases) {
    // Standard input in memory ends at a zero byte: such a document is named.
    std::ofstream(named, std::ios::binary | std::ios::trunc) << c.document;
    const CommandRun run = c.document.find('\0') == std::string::npos
                               ? Zandorik({"import", path}, c.document)
                               : Zandorik({"import", path, named});
    EXPECT_EQ(run.status, kExitUsage) << c.problem;
    const std::vector<std::string> lines = Lines(run.err);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "zandorik import: " + c.problem), lines.end())
        << run.err.substr(0, 1000);
    EXPECT_TRUE(run.err.ends_with("nothing was stored; the data file is as it was\n"));
    ASSERT_EQ(ReadFile(path), bytes) << c.problem;
  }
}

// Saves go where the window's would, by the one save-slot rule
// (DataFile::PlaceFigures): the figure of that name, else the last freed
// record, else the end.
TEST_F(FigureCommandsTest, FiguresGoWhereSavesWouldPutThem) {
  std::vector<FigureRecord> records(4);
  records[0].Name = "A";
  records[1] = DeletedRecord();
  records[2].Name = "B";
  records[3] = DeletedRecord();
  data.Write(records);
  std::vector<FigureRecord> figures(4);
  for (const char* name : {"B", "C", "D", "E"}) {
    figures.push_back(FigureRecord{});
    figures.back().Name = name;
    figures.back().Range = 4;
  }
  figures.erase(figures.begin(), figures.begin() + 4);
  std::string document;
  FigureTextWriter writer(document);
  writer.Begin();
  for (const FigureRecord& f : figures)
    writer.Figure(f, std::nullopt);
  writer.End();
  const std::string input = Path("in.json");
  std::ofstream(input) << document;

  const std::string bytes = ReadFile(path);
  const CommandRun dry = Zandorik({"import", "--dry-run", path, input});
  EXPECT_EQ(
      dry.out,
      "would replace record 3: \"B\"\nwould add as record 4: \"C\"\nwould add as record 2: "
      "\"D\"\nwould add as record 5: \"E\"\n4 figures would be stored: 1 replaced, 3 added\n");
  EXPECT_EQ(ReadFile(path), bytes);
  const CommandRun run = Zandorik({"import", path, input});
  EXPECT_EQ(run.out, "4 figures stored: 1 replaced, 3 added\n");
  EXPECT_EQ(Zandorik({"import", "--dry-run", path, input}).out,
            "unchanged record 3: \"B\"\nunchanged record 4: \"C\"\nunchanged record 2: "
            "\"D\"\nunchanged record 5: \"E\"\n4 figures would be stored: 0 replaced, 0 added, 4 "
            "unchanged\n");
  // Stored again, unchanged: nothing is written, not even the time of change.
  const struct timespec old[2] = {{1000, 0}, {1000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), old, 0), 0);
  EXPECT_EQ(Zandorik({"import", path, input}).out,
            "nothing to store: all 4 figures are stored already, unchanged\n");
  struct stat after {};
  ASSERT_EQ(::stat(path.c_str(), &after), 0);
  EXPECT_EQ(after.st_mtim.tv_sec, 1000);
  std::vector<NameEntry> names;
  DataFile file;
  FileError error;
  ASSERT_TRUE(file.Open(path, false, &error));
  ASSERT_TRUE(file.ListNames(names, &error));
  std::string listed;
  for (const NameEntry& entry : names)
    listed += std::to_string(entry.record) + entry.shown + " ";
  EXPECT_EQ(listed, "1A 2D 3B 4C 5E ");

  // The named ones, in the order named; an unknown name writes nothing.
  const CommandRun named = Zandorik({"export", path, "E", "A"});
  const FigureText read = ReadFigureText(named.out);
  ASSERT_EQ(read.figures.size(), 2u);
  EXPECT_EQ(ShownName(read.figures[0]) + ShownName(read.figures[1]), "EA");
  const CommandRun unknown = Zandorik({"export", path, "A", "Z", " e", "-o", Path("out.json")});
  EXPECT_EQ(unknown.status, kExitUsage);
  EXPECT_NE(unknown.err.find("no figure named \"Z\" is stored in " + path + "\n"),
            std::string::npos);
  EXPECT_NE(
      unknown.err.find("no figure named \" e\" is stored in " + path + "; did you mean \"E\"?\n"),
      std::string::npos);
  EXPECT_FALSE(fs::exists(Path("out.json")));
}

// The disk fails at the n-th write (or at the flush): every record already
// written gets its old bytes back and the file its old length, or a file
// made for the import goes again.
TEST_F(FigureCommandsTest, AFailedWritePutsBackEveryRecordWritten) {
  std::vector<FigureRecord> records = RandomNamedRecords(6, 3);
  for (FigureRecord& r : records)
    r.Deleted = 0;
  records[1] = DeletedRecord();
  data.Write({records[0], records[1], records[2]});
  const std::string bytes = ReadFile(path);
  // Over record 1, into the free record 2, then two appended.
  std::vector<DataFile::Placed> writes = {
      {1, &records[3]}, {2, &records[4]}, {4, &records[5]}, {5, &records[0]}};
  int written = 0;
  // The write numbered `failAt` fails; 4: the first flush.
  const auto failing = [&written](int failAt) {
    FaultyCalls disk;
    written = 0;
    if (failAt < 4) {
      disk.pwrite = [&written, failAt](int fd, const void* b, size_t n, off_t at) {
        return written++ == failAt ? Failing(ENOSPC) : SystemCalls::Real().Pwrite(fd, b, n, at);
      };
    } else {
      disk.fsync = [&written](int fd) {
        return written++ == 0 ? static_cast<int>(Failing(EIO)) : SystemCalls::Real().Fsync(fd);
      };
    }
    return disk;
  };
  for (int failAt = 0; failAt <= 4; ++failAt) {
    FaultyCalls disk = failing(failAt);
    DataFile file;
    FileError error, putBack;
    ASSERT_TRUE(file.Open(path, false, &error));
    file.SetSystemCalls(&disk);
    std::size_t failedAt = 99;
    EXPECT_FALSE(file.WriteAll(writes, &error, &putBack, &failedAt));
    EXPECT_EQ(failedAt, static_cast<std::size_t>(failAt));
    EXPECT_EQ(error.number, failAt < 4 ? ENOSPC : EIO);
    EXPECT_EQ(putBack.number, 0);
    EXPECT_EQ(ReadFile(path), bytes) << "failing at " << failAt;
  }
  // Into a missing file: no file is left behind.
  const std::string json = Path("in.json");
  ASSERT_NE(Zandorik({"export", path, "-o", json}).status, kExitWriteFailed);
  for (const int failAt : {0, 4}) {
    FaultyCalls disk = failing(failAt);
    const CommandRun run = Zandorik({"import", Path("new.QMV"), json}, {}, &disk);
    EXPECT_EQ(run.status, kExitWriteFailed);
    EXPECT_NE(run.err.find(". Nothing was stored, and no data file was made.\n"), std::string::npos)
        << run.err;
    EXPECT_FALSE(fs::exists(Path("new.QMV")));
  }
}

// Every figure of the sample file, exported, deleted on the window and
// imported again, loads and prices exactly as before.
TEST_F(FigureCommandsTest, ExampleFiguresExportedDeletedAndImportedLoadAsBefore) {
  fs::copy_file(ZANDORIK_EXAMPLES_DIR "/figures.QMV", path);
  ScriptedDesktop desktop;
  DialEditor editor(desktop);
  FileCommands files(desktop, editor);
  ASSERT_TRUE(files.OpenDataFile(path));
  // Each figure as the window shows it after a pick, by name.
  const auto loadAll = [&] {
    std::map<std::string, std::string> shown;
    for (std::size_t i = 0; i < files.NameList().size(); ++i) {
      files.ComboName_Click(static_cast<int>(i));
      FigureRecord record;
      StoreFigureInRecord(editor.Screen(), record, nullptr);
      const RecordBytes bytes = EncodeRecord(record);
      std::string text(bytes.begin(), bytes.end());
      text += "|" + editor.PointsText();
      for (const std::string& field : editor.BreakdownFields())
        text += "|" + field;
      shown[editor.Screen().name] = text;
    }
    desktop.TakeTexts();  // the formula's messages, the same both times
    return shown;
  };
  const std::map<std::string, std::string> before = loadAll();
  ASSERT_EQ(before.size(), 6u);
  const CommandRun exported = Zandorik({"export", path});
  ASSERT_EQ(exported.status, 0);
  for (const auto& [name, unused] : before) {
    editor.SetName(name);
    files.MenuDeleteRecord_Click();
  }
  editor.ResetScreen();  // no unsaved change to ask about at the next pick
  ASSERT_TRUE(files.NameList().empty());
  const CommandRun imported = Zandorik({"import", path}, exported.out);
  EXPECT_EQ(imported.out, "6 figures stored: 0 replaced, 6 added\n");
  ASSERT_TRUE(files.OpenDataFile(path));
  EXPECT_EQ(loadAll(), before);
}

}  // namespace
}  // namespace zandorik
