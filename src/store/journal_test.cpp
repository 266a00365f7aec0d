// The journal: an import killed at any moment leaves the data file all old
// or all new, whoever locks it next; a journal cut short is never applied.
#include "store/journal.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "cli/command_line.h"
#include "cli/coster.h"
#include "editor/file_commands.h"
#include "store/data_file.h"
#include "testing/command_run.h"
#include "testing/random_record.h"
#include "testing/scripted_desktop.h"
#include "testing/test_data_file.h"

namespace zandorik {
namespace {

namespace fs = std::filesystem;

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

bool Exists(const std::string& path) {
  struct stat there {};
  return ::lstat(path.c_str(), &there) == 0;
}

// The three kinds of program that may come next: the window, a command
// that writes, and the coster, which opens the file read-only.
void LockAsTheNextProgram(int kind, const std::string& path) {
  switch (kind % 3) {
    case 0: {
      ScriptedDesktop desktop;
      DialEditor editor(desktop);
      FileCommands files(desktop, editor);
      ASSERT_TRUE(files.OpenDataFile(path)) << desktop.TakeTexts().front();
      break;
    }
    case 1:
      ASSERT_NE(Zandorik({"export", path, "-o", "/dev/null"}).status, kExitUnreadable);
      break;
    default: {
      const int status =
          std::system((std::string(ZANDORIK_COST) + " " + path + " >/dev/null 2>&1").c_str());
      ASSERT_NE(WEXITSTATUS(status), kCostUnreadable);
    }
  }
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
    while (!Exists(journal) && ::waitpid(child, &status, WNOHANG) == 0) {
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
    ::kill(child, signal);
    ::waitpid(child, &status, 0);
    const bool killed = WIFSIGNALED(status);
    if (signal == SIGKILL && Exists(journal)) {
      ++cutShort;
      // Whole, it holds the old length and the old bytes of every record.
      JournalContents contents;
      if (DecodeJournal(Read(journal), contents)) {
        EXPECT_EQ(contents.oldLength, static_cast<std::int64_t>(oldBytes.size()));
        EXPECT_EQ(contents.records.size(), 2000u);
        for (const auto& [number, bytes] : contents.records) {
          ASSERT_EQ(oldBytes.compare((number - 1) * kRecordLength, kRecordLength,
                                     reinterpret_cast<const char*>(bytes.data()), kRecordLength),
                    0);
        }
      }
      LockAsTheNextProgram(run / 3, data.path);
    } else if (killed && data.Bytes() == oldBytes) {
      ++cutShort;
    }
    EXPECT_FALSE(Exists(journal));
    const std::string after = data.Bytes();
    EXPECT_TRUE(after == oldBytes || after == newBytes);
  }
  // Enough runs were cut short in the middle to mean something.
  EXPECT_GE(cutShort, 10);
}

// A journal whose writing was cut short (by a power loss, say) was never
// followed by a write: it is removed and the file left as it is. A whole
// one puts the old bytes and the old length back.
TEST(Journal, OnlyAWholeJournalIsRolledBack) {
  TestDataFile data;
  const std::vector<FigureRecord> records = RandomNamedRecords(3, 4);
  data.Write(records);
  const std::string oldBytes = data.Bytes();
  JournalContents contents{static_cast<std::int64_t>(oldBytes.size()), {}};
  contents.records.emplace_back(2, EncodeRecord(records[1]));
  const std::string whole = EncodeJournal(contents);
  const std::string changed = oldBytes.substr(0, kRecordLength) + std::string(kRecordLength, 'x') +
                              oldBytes.substr(2 * kRecordLength) + std::string(700, 'y');
  const std::size_t cuts[] = {0, 5, 20, whole.size() / 2, whole.size() - 1, whole.size()};
  for (const std::size_t cut : cuts) {
    SCOPED_TRACE("journal of " + std::to_string(cut) + " bytes");
    WriteBytes(data.path, changed);
    std::string journal = whole.substr(0, cut);
    if (cut == whole.size() / 2) journal = whole.substr(0, cut) + std::string(cut, '\0');
    WriteBytes(JournalPath(data.path), journal);
    DataFile file;
    FileError error;
    ASSERT_TRUE(file.Open(data.path, false, &error)) << error.description;
    ASSERT_TRUE(file.Lock(RecordFile::LockKind::Shared, kLockWait, &error)) << error.description;
    EXPECT_EQ(data.Bytes(), cut == whole.size() ? oldBytes : changed);
    EXPECT_FALSE(Exists(JournalPath(data.path)));
  }
}

}  // namespace
}  // namespace zandorik
