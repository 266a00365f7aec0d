// The journal: an import killed at any moment leaves the data file all old
// or all new, whoever locks it next; a journal cut short is never applied.
#include "store/journal.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "editor/file_commands.h"
#include "program/exit_status.h"
#include "store/data_file.h"
#include "testing/command_run.h"
#include "testing/random_record.h"
#include "testing/scripted_desktop.h"
#include "testing/test_data_file.h"

namespace zandorik {
namespace {

namespace fs = std::filesystem;

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The next program to lock the file: the window, or the coster, which
// opens it read-only.
void LockAsTheNextProgram(bool window, const std::string& path) {
  ScriptedDesktop desktop;
  DialEditor editor(desktop);
  FileCommands files(desktop, editor);
  const std::string cost = std::string(ZANDORIK_COST) + " " + path + " >/dev/null 2>&1";
  EXPECT_TRUE(window ? files.OpenDataFile(path)
                     : WEXITSTATUS(std::system(cost.c_str())) != kExitUnreadable);
}

// Killed with SIGKILL, the import leaves its journal, which holds the old
// bytes exactly; the next program, whichever, rolls it back. Stopped with
// SIGINT or SIGTERM, it rolls back at once. Each run is killed at a
// random moment after its journal is made.
TEST(Journal, AnImportKilledAtAnyMomentIsAllOrNothing) {
  TestDataFile data;
  std::vector<FigureRecord> records = RandomNamedRecords(3000, 19);
  std::vector<FigureRecord> before(records.begin(), records.begin() + 2000);
  data.Write(before);
  const std::string oldBytes = data.Bytes();
  // The document changes every figure and adds a thousand.
  for (FigureRecord& r : records) {
    r.Deleted = 0;
    r.Range = static_cast<std::int16_t>(r.Range + 1);
  }
  const std::string others = (data.dir / "others.QMV").string();
  const std::string json = (data.dir / "new.json").string();
  TestDataFile::WriteTo(others, records);
  ASSERT_EQ(Zandorik({"export", others, "-o", json}).status, 0);
  ASSERT_EQ(Zandorik({"import", data.path, json}).status, 0);
  const std::string newBytes = data.Bytes();
  ASSERT_NE(newBytes, oldBytes);
  const std::string journal = JournalPath(data.path);
  // What the journal holds, byte for byte: the old length, the old bytes
  // of each record in the order written.
  JournalContents contents;
  contents.oldLength = static_cast<std::int64_t>(oldBytes.size());
  contents.oldChecksum = Crc32(oldBytes);
  for (std::int64_t n = 1; n <= 2000; ++n) {
    std::memcpy(contents.records.emplace_back(n, RecordBytes{}).second.data(),
                oldBytes.data() + (n - 1) * kRecordLength, kRecordLength);
  }
  const std::string wholeJournal = EncodeJournal(contents);

  std::mt19937 random(5);
  int cutShort = 0;
  for (int run = 0; run < 30; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    WriteBytes(data.path, oldBytes);
    const int signal = run % 3 == 0 ? SIGINT : run % 3 == 1 ? SIGTERM : SIGKILL;
    const pid_t child = ::fork();
    if (child == 0) {
      const int null = ::open("/dev/null", O_WRONLY);
      ::dup2(null, 1);
      ::dup2(null, 2);
      ::execl(ZANDORIK_PROGRAM, ZANDORIK_PROGRAM, "import", data.path.c_str(), json.c_str(),
              nullptr);
      ::_exit(127);
    }
    int status = 0;
    while (!fs::exists(journal) && ::waitpid(child, &status, WNOHANG) == 0) {
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
    ::kill(child, signal);
    ::waitpid(child, &status, 0);
    if (signal == SIGKILL && fs::exists(journal)) {
      ++cutShort;
      const std::string left = TestDataFile::ReadFrom(journal);
      EXPECT_EQ(left, wholeJournal.substr(0, left.size()));
      LockAsTheNextProgram(run % 2 == 0, data.path);
    } else if (WIFSIGNALED(status) && data.Bytes() == oldBytes) {
      ++cutShort;
    }
    EXPECT_FALSE(fs::exists(journal));
    const std::string after = data.Bytes();
    EXPECT_TRUE(after == oldBytes || after == newBytes);
  }
  // Enough runs were cut short in the middle to mean something.
  EXPECT_GE(cutShort, 10);
}

std::string Shell(const std::string& line) {
  std::string out;
  if (std::FILE* pipe = ::popen(line.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
      out.append(buffer, got);
    ::pclose(pipe);
  }
  return out;
}

// A journal is rolled back only onto the file it was made for, torn record
// and all, and that is said. One cut short (a power loss while it was
// written) was never followed by a write: it is removed, the file left as
// it is. One made for another file that now has the name, or of the first
// format (no check sum), is never applied: it is kept under a new name,
// and that is said. The window says it in a message, a command on
// standard error.
TEST(Journal, OnlyAWholeJournalOfThisFileIsRolledBack) {
  TestDataFile data;
  data.Write(RandomNamedRecords(3, 4));
  const std::string old = data.Bytes(), changed = old + std::string(kRecordLength, 'x');
  const std::string torn =
      changed.substr(0, kRecordLength) + "y" + changed.substr(kRecordLength + 1);
  TestDataFile::WriteTo(data.path, RandomNamedRecords(3, 5));
  const std::string other = data.Bytes() + std::string(kRecordLength, 'x');
  JournalContents contents;
  contents.oldLength = static_cast<std::int64_t>(old.size());
  contents.oldChecksum = Crc32(old);
  std::memcpy(contents.records.emplace_back(2, RecordBytes{}).second.data(),
              old.data() + kRecordLength, kRecordLength);
  const std::string whole = EncodeJournal(contents);
  // The first format: no check sum in the header.
  std::string first = "QMVJRNL\x01" + whole.substr(8, 8) + whole.substr(20, whole.size() - 24);
  const std::uint32_t crc = Crc32(first);
  for (int i = 0; i < 4; ++i)
    first += static_cast<char>((crc >> (8 * i)) & 0xFF);
  const std::string journal = JournalPath(data.path);
  const struct {
    std::string journal, file;
    bool window;
    std::string after, kept, said;  // kept: the journal's new name
  } cases[] = {
      {std::string(whole.size(), '\0'), torn, true, torn, "", ""},
      {whole.substr(0, 20) + std::string(whole.size() - 20, '\0'), torn, false, torn, "", ""},
      {whole.substr(0, whole.size() - 1) + '\0', torn, true, torn, "", ""},
      {whole, torn, true, old, "",
       "The data file " + data.path +
           " was put back as it was before a write that was cut short (from " + journal + ")."},
      {whole, changed, false, old, "", "was put back as it was before a write that was cut short"},
      {whole, other, false, other, journal + ".unmatched",
       "The journal " + journal + " does not belong to " + data.path +
           " as it is now (the file was replaced or changed since a write was cut short): it was "
           "not applied, and is kept as " +
           journal + ".unmatched."},
      {first, torn, true, torn, journal + ".unmatched-2",
       "was made by an earlier version and cannot be checked against " + data.path},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.said);
    WriteBytes(data.path, c.file);
    WriteBytes(journal, c.journal);
    std::string said;
    if (c.window) {
      ScriptedDesktop desktop;
      DialEditor editor(desktop);
      FileCommands files(desktop, editor);
      EXPECT_TRUE(files.OpenDataFile(data.path));
      for (const std::string& text : desktop.TakeTexts())
        said += text;
    } else {
      said = Shell(std::string(ZANDORIK_COST) + " " + data.path + " 2>&1 >/dev/null");
    }
    EXPECT_EQ(data.Bytes(), c.after);
    EXPECT_FALSE(fs::exists(journal));
    if (!c.kept.empty()) {
      EXPECT_EQ(TestDataFile::ReadFrom(c.kept), c.journal);
    }
    if (c.said.empty()) {
      EXPECT_EQ(said.find("journal"), std::string::npos) << said;
    }
    EXPECT_NE(said.find(c.said), std::string::npos) << said;
  }
}

}  // namespace
}  // namespace zandorik
