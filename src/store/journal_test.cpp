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
  JournalContents contents{static_cast<std::int64_t>(oldBytes.size()), {}};
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

// A journal cut short (a power loss while it was written) was never
// followed by a write: it is removed, the file left as it is. A whole one
// puts the old bytes and length back.
TEST(Journal, OnlyAWholeJournalIsRolledBack) {
  TestDataFile data;
  data.Write(RandomNamedRecords(3, 4));
  const std::string old = data.Bytes(), changed = old + std::string(kRecordLength, 'x');
  JournalContents contents{static_cast<std::int64_t>(old.size()), {}};
  std::memcpy(contents.records.emplace_back(2, RecordBytes{}).second.data(),
              old.data() + kRecordLength, kRecordLength);
  const std::string whole = EncodeJournal(contents);
  for (const std::size_t cut : {std::size_t{0}, std::size_t{20}, whole.size() - 1, whole.size()}) {
    WriteBytes(data.path,
               changed.substr(0, kRecordLength) + "y" + changed.substr(kRecordLength + 1));
    WriteBytes(JournalPath(data.path),
               whole.substr(0, cut) + std::string(whole.size() - cut, '\0'));
    DataFile file;
    ASSERT_TRUE(file.Open(data.path, false, nullptr));
    ASSERT_TRUE(file.Lock(RecordFile::LockKind::Shared, kLockWait, nullptr));
    EXPECT_EQ(data.Bytes() == old, cut == whole.size()) << cut;
    EXPECT_FALSE(fs::exists(JournalPath(data.path)));
  }
}

}  // namespace
}  // namespace zandorik
