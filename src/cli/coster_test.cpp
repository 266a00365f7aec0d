#include <gtest/gtest.h>
#include <rapidjson/document.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>

#include "cli/subcommand.h"
#include "cost/calculations.h"
#include "model/numbers.h"
#include "program/exit_status.h"
#include "program/output.h"
#include "store/record_file.h"
#include "store/record_screen.h"
#include "testing/random_record.h"
#include "testing/test_data_file.h"
#include "testing/worked_figure.h"

namespace zandorik {
namespace {

struct CostRun {
  int status;
  std::string out, err;
};

std::string ReadAll(std::FILE* f) {
  std::rewind(f);
  std::string text;
  char buf[4096];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
    text.append(buf, n);
  std::fclose(f);
  return text;
}

// A JSON text parsed, or a null value when it is no JSON.
rapidjson::Document Parse(const std::string& text) {
  rapidjson::Document doc;
  if (doc.Parse(text.c_str()).HasParseError()) doc.SetNull();
  return doc;
}

std::vector<std::string> Strings(const rapidjson::Value& array) {
  std::vector<std::string> texts;
  for (const auto& v : array.GetArray())
    texts.emplace_back(v.GetString(), v.GetStringLength());
  return texts;
}

CostRun Cost(const std::vector<std::string>& args) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  const int status = RunCoster(args, out, err);
  return {status, ReadAll(out), ReadAll(err)};
}

class CosterTest : public ::testing::Test {
 protected:
  void Write(const std::vector<FigureRecord>& records) { data_.Write(records); }

  static FigureRecord Record(const FigureScreen& screen) {
    FigureRecord r;
    EXPECT_TRUE(StoreScreenInRecord(screen, r));
    return r;
  }

  // Worked figure, a deleted slot, a figure with a range error, a blank one.
  void WriteSample() {
    FigureScreen worked = WorkedFigure();
    worked.name = "Worked";
    FigureScreen bad;
    bad.name = "Bad Range";
    bad.rangeText = "3";
    FigureScreen blank;
    blank.name = "Blank";
    Write({Record(worked), DeletedRecord(), Record(bad), Record(blank)});
  }

  TestDataFile data_;
  const std::string& path_ = data_.path;
};

TEST_F(CosterTest, PricesEveryStoredFigureInRecordOrder) {
  WriteSample();
  const CostRun run = Cost({path_});
  EXPECT_EQ(run.status, kExitOk);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "     1      46  Worked\n"
            "     3    -994  Bad Range\n"
            "     4       5  Blank\n");
}

TEST_F(CosterTest, JsonCarriesTheBreakdownAndMessages) {
  WriteSample();
  const CostRun run = Cost({"--json", path_});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  const rapidjson::Document figures = Parse(run.out);
  ASSERT_TRUE(figures.IsArray()) << run.out;
  ASSERT_EQ(figures.Size(), 3u);
  const rapidjson::Document expected = Parse(R"({"record": 1, "name": "Worked",
      "points": 46, "breakdown": {"speed": "3.5", "attack": "3.66666666666667",
      "defense": "8.72727272727273", "damage": "15", "speedPower": "0", "attackPower": "0",
      "defensePower": "0", "damagePower": "0", "range": "2.75", "bolts": "3", "team": "4.8"},
      "movement": "4.66666666666667", "messages": []})");
  EXPECT_TRUE(figures[0] == expected);
  EXPECT_EQ(figures[1]["record"].GetInt(), 3);
  EXPECT_STREQ(figures[1]["breakdown"]["range"].GetString(), "-999");
  EXPECT_EQ(Strings(figures[1]["messages"]), std::vector<std::string>{"Error in range: 3"});
  // Keys keep the order of the breakdown window.
  EXPECT_EQ(
      run.out.find("{\"record\":1,\"name\":\"Worked\",\"points\":46,\"breakdown\":{\"speed\""), 2u);
}

TEST_F(CosterTest, BreakdownListsPartsAndMessages) {
  WriteSample();
  const CostRun run = Cost({"--breakdown", path_});
  EXPECT_EQ(run.status, kExitOk);
  EXPECT_NE(run.out.find("     1      46  Worked\n"
                         "        Statistics: speed 3.5, attack 3.66666666666667, defense "
                         "8.72727272727273, damage 15\n"
                         "        Powers: speed 0, attack 0, defense 0, damage 0\n"
                         "        Range 2.75, bolts 3, team 4.8, movement 4.66666666666667\n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("        Message: Error in range: 3\n"), std::string::npos);
}

TEST_F(CosterTest, EmptyFileGivesEmptyList) {
  Write({});
  const CostRun run = Cost({"--json", path_});
  EXPECT_EQ(run.status, kExitOk);
  EXPECT_EQ(run.out, "[]\n");
}

TEST_F(CosterTest, MissingFileAndBadUsage) {
  const CostRun missing = Cost({path_});
  EXPECT_EQ(missing.status, kExitUnreadable);
  EXPECT_EQ(missing.out, "");
  EXPECT_NE(missing.err.find("cannot read " + path_), std::string::npos);
  EXPECT_EQ(std::count(missing.err.begin(), missing.err.end(), '\n'), 1);

  EXPECT_EQ(Cost({}).status, kExitUsage);
  EXPECT_EQ(Cost({"--colour"}).status, kExitUsage);
  EXPECT_EQ(Cost({"a.QMV", "b.QMV"}).status, kExitUsage);
  const CostRun help = Cost({"--help"});
  EXPECT_EQ(help.status, kExitOk);
  EXPECT_NE(help.out.find("--json"), std::string::npos);
  const CostRun version = Cost({"--json", "--version", path_});
  EXPECT_EQ(version.status, kExitOk);
  EXPECT_EQ(version.out, "zandorik-cost " ZANDORIK_VERSION "\n");
  EXPECT_EQ(Cost({"--", "--version"}).status, kExitUnreadable);
}

TEST_F(CosterTest, DamagedFileIsPricedAndNamed) {
  FigureScreen worked = WorkedFigure();
  worked.name = "Worked";
  FigureRecord damaged = Record(worked);
  damaged.TeamIndex = 40;
  damaged.Bolt[2] = 7;
  damaged.RowOf(StatRow::Attack).Colour[0] = std::numeric_limits<double>::infinity();
  Write({Record(worked), damaged});
  {
    std::ofstream tail(path_, std::ios::binary | std::ios::app);
    tail.write("xyz", 3);
  }
  const CostRun run = Cost({"--json", path_});
  EXPECT_EQ(run.status, kExitDamaged);
  const rapidjson::Document figures = Parse(run.out);
  ASSERT_TRUE(figures.IsArray()) << run.out;
  ASSERT_EQ(figures.Size(), 2u);
  EXPECT_EQ(Strings(figures[1]["messages"]),
            (std::vector<std::string>{"Unknown ability: ", "No value for team: "}));
  EXPECT_STREQ(figures[1]["breakdown"]["team"].GetString(), "-999");
  EXPECT_NE(run.err.find("record 2: team position 40 is outside the list (0 to 21)"),
            std::string::npos);
  EXPECT_NE(run.err.find("record 2: bolt 3 has the state 7"), std::string::npos);
  EXPECT_NE(run.err.find("record 2: Attack square 1 has the colour Infinity"), std::string::npos);
  EXPECT_NE(run.err.find("not a whole number of 486-byte records; the last 3 bytes were ignored"),
            std::string::npos);
}

// Names as stored: control characters are escaped in the lines (as in
// JSON, whose escapes stay those of the earlier writer: small hex digits),
// everything else is written as it is.
TEST_F(CosterTest, NamesKeepTheirLettersAndShowTheirControls) {
  struct Case {
    const char* name;  // UTF-8; stored in Windows-1252
    const char* line;
    const char* json;
  };
  const Case cases[] = {
      {R"(Quote " and \ back)", R"(Quote " and \ back)", R"("Quote \" and \\ back")"},
      {"Tab\tNew\nline\r", R"(Tab\tNew\nline\r)", R"("Tab\tNew\nline\r")"},
      {"\b\f\x01\x1f\x7f", R"(\b\f\u0001\u001f\u007f)", "\"\\b\\f\\u0001\\u001f\x7f\""},
      {"Caf\u00e9 \u20ac\u201c\u0081", "Caf\u00e9 \u20ac\u201c\\u0081",
       "\"Caf\u00e9 \u20ac\u201c\u0081\""},
  };
  std::vector<FigureRecord> records;
  for (const Case& c : cases) {
    FigureScreen figure;
    figure.name = c.name;
    records.push_back(Record(figure));
  }
  Write(records);
  const CostRun plain = Cost({path_});
  const CostRun json = Cost({"--json", path_});
  std::string lines, objects;
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    lines += "     " + std::to_string(i + 1) + "       5  " + cases[i].line + "\n";
    objects += std::string(i == 0 ? "\n" : ",\n") + "{\"record\":" + std::to_string(i + 1) +
               ",\"name\":" + cases[i].json + ",\"points\":5,";
  }
  EXPECT_EQ(plain.out, lines);
  std::string jsonNames;
  for (std::size_t at = 0; (at = json.out.find("\n{", at)) != std::string::npos; ++at) {
    const std::size_t end = json.out.find("\"breakdown\"", at);
    jsonNames += (jsonNames.empty() ? "\n" : ",\n") + json.out.substr(at + 1, end - at - 1);
  }
  EXPECT_EQ(jsonNames, objects);
  EXPECT_TRUE(Parse(json.out).IsArray());
}

// Every failed write is reported and ends the run with its own status.
TEST_F(CosterTest, FailedOutputIsReportedAndStopsTheRun) {
  WriteSample();
  std::signal(SIGPIPE, SIG_IGN);
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  ::close(ends[0]);
  const std::pair<std::FILE*, std::string> targets[] = {
      {std::fopen("/dev/full", "w"), "No space left on device"},
      {::fdopen(ends[1], "w"), "Broken pipe"}};
  for (const auto& [file, reason] : targets) {
    for (const char* option : {"--breakdown", "--json", "--help", "--version"}) {
      std::FILE* err = std::tmpfile();
      EXPECT_EQ(RunCoster({option, path_}, file, err), kExitWriteFailed) << reason << option;
      EXPECT_EQ(ReadAll(err), "zandorik-cost: cannot write the output: " + reason + "\n");
      std::clearerr(file);
    }
    std::fclose(file);
  }

  // Reading stops at the first failed write: of an output more than three
  // times the coster's 64 KiB buffer, a stream that refuses every write is
  // offered the first buffer only.
  Write(std::vector<FigureRecord>(12000, Record(FigureScreen{})));
  static std::size_t offered = 0;
  cookie_io_functions_t refusing{};
  refusing.write = [](void*, const char*, std::size_t size) -> ssize_t {
    offered += size;
    errno = EIO;
    return -1;
  };
  std::FILE* out = ::fopencookie(nullptr, "w", refusing);
  std::FILE* err = std::tmpfile();
  EXPECT_EQ(RunCoster({path_}, out, err), kExitWriteFailed);
  EXPECT_EQ(Cost({path_}).out.size(), 12000u * 17);
  EXPECT_LE(offered, 65536u + 8192u);
  EXPECT_EQ(ReadAll(err), "zandorik-cost: cannot write the output: Input/output error\n");
  std::fclose(out);
}

TEST_F(CosterTest, ClosedStandardOutputIsAFailure) {
  WriteSample();
  const std::string errPath = path_ + ".err";
  const std::string command = std::string(ZANDORIK_COST) + " " + path_ + " >&- 2>" + errPath;
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), kExitWriteFailed);
  std::ifstream in(errPath);
  const std::string err(std::istreambuf_iterator<char>(in), {});
  EXPECT_EQ(err, "zandorik-cost: cannot write the output: Bad file descriptor\n");
  std::filesystem::remove(errPath);
}

// zandorik-cost is `zandorik cost` under its older name: the two programs,
// run over the same files, write the same bytes and end with the same
// status; their messages differ only in the name they begin with.
TEST_F(CosterTest, TheOlderNameRunsTheSameCommandByteForByte) {
  WriteSample();
  const std::string damaged = path_ + ".damaged.QMV";
  std::filesystem::copy_file(path_, damaged);
  std::ofstream(damaged, std::ios::app) << "abc";
  const std::string file = "'" + path_ + "'", run = path_ + ".run";
  const auto program = [&run](const std::string& line) {
    const int status = std::system((line + " >" + run + ".out 2>" + run + ".err").c_str());
    std::ifstream out(run + ".out"), err(run + ".err");
    return CostRun{WEXITSTATUS(status), std::string(std::istreambuf_iterator<char>(out), {}),
                   std::string(std::istreambuf_iterator<char>(err), {})};
  };
  for (const std::string& args : std::vector<std::string>{
           file, "--breakdown " + file, "--json " + file, "--json --breakdown -- '" + damaged + "'",
           "--breakdown '" + damaged + "'", "--help", "", "--colour " + file, file + " " + file,
           "'" + path_ + ".none'", "-", "--json=1 " + file, "/proc/version", "/dev/null"}) {
    const CostRun older = program(std::string(ZANDORIK_COST) + " " + args);
    const CostRun now = program(std::string(ZANDORIK_PROGRAM) + " cost " + args);
    EXPECT_EQ(older.status, now.status) << args;
    EXPECT_TRUE(older.out == now.out) << args;
    std::string err = now.err;
    for (std::size_t at; (at = err.find("zandorik cost")) != std::string::npos;)
      err.replace(at, 13, "zandorik-cost");
    EXPECT_EQ(older.err, err) << args;
  }
  EXPECT_EQ(program(std::string(ZANDORIK_PROGRAM) + " cost --version").out,
            "zandorik " ZANDORIK_VERSION "\n");
}

// The coster reads under the shared lock: beside other readers at once,
// and not while a window writes.
TEST_F(CosterTest, ReadsBesideReadersButNotWhileAWriterHoldsTheFile) {
  WriteSample();
  RecordFile other;
  ASSERT_TRUE(other.Open(path_, RecordFile::Mode::ReadOnly, nullptr));
  {
    FileLock reading(other, RecordFile::LockKind::Shared, kLockWait, nullptr);
    EXPECT_EQ(Cost({path_}).status, kExitOk);
  }
  FileLock writing(other, RecordFile::LockKind::Exclusive, kLockWait, nullptr);
  const CostRun run = Cost({path_});
  EXPECT_EQ(run.status, kExitUnreadable);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "zandorik-cost: cannot read " + path_ +
                         ": The data file is in use by another program\n");
}

// Only regular files are read: nothing else is opened in a way that waits
// (a FIFO without a writer) or read at all (endless devices).
TEST_F(CosterTest, RefusesWhatIsNoRegularFile) {
  const std::string fifo = path_ + ".fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string dir = std::filesystem::temp_directory_path().string();
  const std::pair<std::string, std::string> cases[] = {
      {"/dev/zero", "not a regular file"},
      {"/dev/urandom", "not a regular file"},
      {fifo, "not a regular file"},
      {dir, "Is a directory"},
  };
  for (const auto& [path, why] : cases) {
    const CostRun run = Cost({path});
    EXPECT_EQ(run.status, kExitUnreadable) << path;
    EXPECT_EQ(run.out, "") << path;
    EXPECT_EQ(run.err, "zandorik-cost: cannot read " + path + ": " + why + "\n");
  }
  std::filesystem::remove(fifo);
}

TEST_F(CosterTest, DoubleDashEndsTheOptionsAndPathsAreShownEscaped) {
  WriteSample();
  EXPECT_EQ(Cost({"--", path_}).out, Cost({path_}).out);
  EXPECT_EQ(Cost({"--json", "--", path_}).out, Cost({"--json", path_}).out);
  const CostRun dash = Cost({"--", "-x"});
  EXPECT_EQ(dash.status, kExitUnreadable);
  EXPECT_EQ(dash.err, "zandorik-cost: cannot read -x: No such file or directory\n");
  EXPECT_EQ(Cost({"--", path_, "--json"}).status, kExitUsage);

  const CostRun odd = Cost({"a\nb\x1b[0m.QMV"});
  EXPECT_EQ(odd.err, "zandorik-cost: cannot read a\\nb\\u001b[0m.QMV: No such file or directory\n");
}

// The partial-record check counts the bytes read, not the size the file
// system reports: files under /proc report 0.
TEST_F(CosterTest, PartialRecordIsTheBytesReallyRead) {
  const std::string proc = "/proc/version";
  std::ifstream in(proc);
  const std::string text(std::istreambuf_iterator<char>(in), {});
  ASSERT_GT(text.size(), 0u);
  ASSERT_LT(text.size(), kRecordLength);
  const CostRun run = Cost({proc});
  EXPECT_EQ(run.status, kExitDamaged);
  EXPECT_EQ(run.err, "zandorik-cost: /proc/version: the file is " + std::to_string(text.size()) +
                         " bytes long, not a whole number of 486-byte records; the last " +
                         std::to_string(text.size()) +
                         " bytes were ignored. To repair it, run: zandorik repair /proc/version\n");
}

// The coster prices records from their numbers; the window puts a record on
// its screen first. Over random records, damaged ones included, the lines,
// breakdowns, messages and damage reports are those of the screen's way.
TEST_F(CosterTest, PricesEveryRecordAsTheScreenWould) {
  std::mt19937 random(99);
  std::vector<FigureRecord> records;
  for (int n = 0; n < 3000; ++n) {
    records.push_back(RandomRecord(random));
    records.back().Name = "Figure " + std::to_string(n + 1);
  }
  Write(records);
  std::string out, err;
  FigureScreen screen;
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (records[i].IsDeleted()) continue;
    const std::string number = std::to_string(i + 1);
    std::vector<std::string> found;
    ShowRecordOnScreen(records[i], screen, &found);
    for (const std::string& damage : found)
      err += "zandorik-cost: " + path_ + ": record " + number + ": " + damage + "\n";
    CollectingSink sink;
    const Calculation calc = CalculateFigure(screen, sink);
    const std::string points = PointsText(calc);
    char line[64];
    std::snprintf(line, sizeof line, "%6s  %6s  ", number.c_str(),
                  points.empty() ? "?" : points.c_str());
    const std::array<std::string, 11> t = BreakdownTexts(calc.breakdown);
    out += line + records[i].Name + "\n" + "        Statistics: speed " + t[0] + ", attack " +
           t[1] + ", defense " + t[2] + ", damage " + t[3] + "\n" + "        Powers: speed " +
           t[4] + ", attack " + t[5] + ", defense " + t[6] + ", damage " + t[7] + "\n" +
           "        Range " + t[8] + ", bolts " + t[9] + ", team " + t[10] + ", movement " +
           FormatGeneral(calc.movement) + "\n";
    for (const std::string& message : sink.messages)
      out += "        Message: " + message + "\n";
  }
  const CostRun run = Cost({"--breakdown", path_});
  EXPECT_EQ(run.status, kExitDamaged);
  EXPECT_TRUE(run.out == out) << "the lines differ";
  EXPECT_TRUE(run.err == err) << "the damage reports differ";
  EXPECT_GT(std::count(err.begin(), err.end(), '\n'), 500);
}

TEST(Examples, GeneratorRebuildsTheSampleFile) {
  const std::string made = (std::filesystem::temp_directory_path() /
                            ("zandorik_examples_" + std::to_string(::getpid()) + ".QMV"))
                               .string();
  ASSERT_EQ(std::system((std::string(ZANDORIK_MAKE_EXAMPLES) + " " + made).c_str()), 0);
  auto bytes = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  EXPECT_EQ(bytes(made), bytes(ZANDORIK_EXAMPLES_DIR "/figures.QMV"));
  std::filesystem::remove(made);
}

}  // namespace
}  // namespace zandorik
