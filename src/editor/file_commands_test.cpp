// The data file commands on real files: a scripted desktop answers the
// dialogs, and the file's bytes are checked after every step.
#include "editor/file_commands.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <thread>

#include "store/cp1252.h"
#include "store/names.h"
#include "store/record_screen.h"
#include "testing/faulty_calls.h"
#include "testing/scripted_desktop.h"
#include "testing/test_data_file.h"

namespace zandorik {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

class FileCommandsTest : public ::testing::Test {
 protected:
  void New(const std::string& file) {
    desktop.files.push_back(file);
    files.MenuFileNew_Click();
  }
  void Open(const std::string& file) {
    desktop.files.push_back(file);
    files.MenuFileOpen_Click();
  }
  void Save(const std::string& name, const std::string& range = "0") {
    editor.SetName(name);
    editor.SetRange(range);
    files.MenuFileSave_Click();
  }
  void Delete(const std::string& name) {
    editor.SetName(name);
    files.MenuDeleteRecord_Click();
  }
  // Picks the first entry of the name list that shows `shown`.
  void Pick(const std::string& shown) {
    const Texts list = Shown();
    const auto at = std::find(list.begin(), list.end(), shown);
    ASSERT_NE(at, list.end()) << shown;
    files.ComboName_Click(static_cast<int>(at - list.begin()));
  }
  // The name list as the window shows it.
  std::vector<std::string> Shown() const {
    std::vector<std::string> shown;
    for (const NameEntry& entry : files.NameList())
      shown.push_back(entry.shown);
    return shown;
  }
  std::string Bytes() const { return data.Bytes(); }
  // Each record's stored name without its padding, "-" for a deleted one.
  std::vector<std::string> Records() const {
    const std::string bytes = Bytes();
    std::vector<std::string> names;
    for (std::size_t at = 0; at + kRecordLength <= bytes.size(); at += kRecordLength) {
      const FigureRecord r = DecodeRecord(reinterpret_cast<const std::uint8_t*>(&bytes[at]));
      names.push_back(r.IsDeleted() ? "-" : r.Name.substr(0, r.Name.find_last_not_of(' ') + 1));
    }
    return names;
  }
  void WriteRecords(const std::vector<FigureRecord>& records) { data.Write(records); }

  TestDataFile data;
  const fs::path& dir = data.dir;
  const std::string& path = data.path;
  ScriptedDesktop desktop;
  DialEditor editor{desktop};
  FileCommands files{desktop, editor};
};

FigureRecord Named(const std::string& name, std::int16_t range = 0) {
  FigureRecord r;
  r.Name = name;
  r.Range = range;
  return r;
}

// The window's saves follow the one save-slot rule (DataFile::PlaceFigures,
// whose cases data_file_test.cpp holds): the last deleted record, not the
// first, takes a new name.
TEST_F(FileCommandsTest, SavesAppendsRewritesAndReusesTheLastDeletedSlot) {
  New(path);
  Save("A");
  Save("B");
  Save("A", "4");
  EXPECT_EQ(Records(), (Texts{"A", "B"}));
  EXPECT_EQ(fs::file_size(path), 972u);
  EXPECT_EQ(Bytes()[36], 4);  // A's range, rewritten in place
  Delete("A");
  EXPECT_EQ(Bytes().substr(0, kRecordLength), "\xFF\xFF" + std::string(484, '\0'));
  EXPECT_EQ(Shown(), (Texts{"B"}));
  Save("C");
  EXPECT_EQ(Shown(), (Texts{"C", "B"}));
  EXPECT_EQ(fs::file_size(path), 972u);
  EXPECT_EQ(desktop.TakeTexts(),
            (Texts{kRecordSaved, kRecordSaved, kRecordSaved, kRecordDeleted, kRecordSaved}));

  WriteRecords({Named("A"), Named("B"), Named("C"), Named("D")});
  Delete("A");
  Delete("C");
  Save("E");
  EXPECT_EQ(Records(), (Texts{"-", "B", "E", "D"}));
}

TEST_F(FileCommandsTest, ListsStoredFiguresCutAtTheFirstTwoSpaces) {
  const std::string n29(29, 'x'), n30(30, 'y');
  FigureRecord gone = DeletedRecord();
  WriteRecords({Named("Ann"), gone, Named(n29), Named(n30), Named("abc  def"), Named("  lead")});
  editor.SetName("typed");
  Open(path);
  EXPECT_EQ(Shown(), (Texts{"Ann", n29 + " ", n30, "abc", ""}));
  EXPECT_EQ(editor.Screen().name, "typed");
  EXPECT_EQ(desktop.dialogs.back(), (ScriptedDesktop::Dialog{ScriptedDesktop::Dialog::Open,
                                                             {"QMVR data file", "*.QMV", ""}}));

  // New on an existing file keeps its records and the list; the next dialog
  // starts at the path chosen last.
  New(path);
  EXPECT_EQ(desktop.dialogs.back(), (ScriptedDesktop::Dialog{ScriptedDesktop::Dialog::New,
                                                             {"QMVR Data file", "*.QMV", path}}));
  EXPECT_EQ(fs::file_size(path), 6 * kRecordLength);
  EXPECT_EQ(Shown().size(), 5u);
  EXPECT_TRUE(desktop.TakeTexts().empty());
}

// A pick loads the very record its entry was listed from, and puts that
// figure's whole name in the box, so that a save goes back to it; names
// that begin alike, or that the list cuts, no longer stand for each other.
TEST_F(FileCommandsTest, APickLoadsItsOwnRecordAndAnImmediateSaveChangesNoByte) {
  WriteRecords(
      {DeletedRecord(), Named("Again", 2), Named("Ag", 8), Named("Big  Bad", 4), Named("Big", 6)});
  Open(path);
  EXPECT_EQ(Shown(), (Texts{"Again", "Ag", "Big", "Big"}));
  const std::string before = Bytes();
  const struct {
    int entry;
    const char* name;
    const char* range;
  } cases[] = {{1, "Ag", "8"}, {0, "Again", "2"}, {2, "Big  Bad", "4"}, {3, "Big", "6"}};
  for (const auto& c : cases) {
    files.ComboName_Click(c.entry);
    EXPECT_EQ(editor.Screen().name, c.name);
    EXPECT_EQ(editor.Screen().rangeText, c.range) << c.name;
    EXPECT_FALSE(editor.PointsText().empty());  // priced on loading
    files.MenuFileSave_Click();
    EXPECT_EQ(Bytes(), before) << c.name;
  }
  EXPECT_EQ(desktop.TakeTexts(), Texts(4, kRecordSaved));
}

// An entry whose record another program changed since the list was read
// loads nothing: the list is read again.
TEST_F(FileCommandsTest, APickOfARecordChangedMeanwhileReadsTheListAgain) {
  WriteRecords({Named("A", 2), Named("B", 4)});
  Open(path);
  Pick("A");
  WriteRecords({Named("C"), Named("B", 4)});
  files.ComboName_Click(0);
  EXPECT_EQ(editor.Screen().name, "A");
  EXPECT_EQ(Shown(), (Texts{"C", "B"}));
  WriteRecords({Named("C")});
  files.ComboName_Click(1);
  EXPECT_EQ(Shown(), (Texts{"C"}));
  const Texts shown = desktop.TakeTexts();
  ASSERT_EQ(shown.size(), 2u);
  for (const std::string& text : shown)
    EXPECT_NE(text.find("is no longer where the list found it"), std::string::npos) << text;
  EXPECT_EQ(editor.Screen().rangeText, "2");  // the screen is as it was
}

TEST_F(FileCommandsTest, NamesAreStoredAndFoundByTheirCodePageBytes) {
  New(path);
  Save("Caf\xC3\xA9", "2");  // "Café"
  Save("Other");
  EXPECT_EQ(Bytes().substr(2, 5), "Caf\xE9 ");
  Open(path);
  EXPECT_EQ(Shown(), (Texts{"Caf\xC3\xA9", "Other"}));
  Pick("Caf\xC3\xA9");
  EXPECT_EQ(editor.Screen().rangeText, "2");
  Save("Caf\xC3\xA9", "6");
  EXPECT_EQ(Records(), (Texts{"Caf\xC3\xA9", "Other"}));
}

// Save and delete act only on the record whose stored name is exactly the
// name, pattern characters and all; what they cannot do changes no byte.
TEST_F(FileCommandsTest, WritesOnlyTheExactNameAndRefusesWhatDoesNotFit) {
  Save("A");
  Delete("A");
  EXPECT_EQ(desktop.TakeTexts(), (Texts{kOpenFileFirst, kOpenFileFirst}));
  New(path);
  Save("Anna");
  Save("AB");
  desktop.TakeTexts();
  const std::string before = Bytes();
  struct Case {
    std::function<void()> act;
    std::string message;
  } cases[] = {
      {[&] { Delete(""); }, "No figure named \"\" is stored"},
      {[&] { Delete("Ann"); }, "No figure named \"Ann\" is stored"},
      {[&] { Delete("A*"); }, "No figure named \"A*\" is stored"},
      {[&] { Save("Ann", "99999"); }, "The range 99999 does not fit in a record"},
      {[&] { Save("Ann\xC4\x80"); }, "holds the character \"\xC4\x80\", which a data file cannot"},
      {[&] {
         editor.ClickSquare(StatRow::Defense, 3);
         editor.TypeValue("40000");
         Save("Ann");
         editor.TypeValue("1");
       },
       "The value of Defense square 4 40000 does not fit"},
  };
  for (const Case& c : cases) {
    c.act();
    const Texts shown = desktop.TakeTexts();
    ASSERT_EQ(shown.size(), 1u) << c.message;
    EXPECT_NE(shown[0].find(c.message), std::string::npos) << shown[0];
    EXPECT_EQ(Bytes(), before) << c.message;
  }
  Save("Ann");
  Save("A?");
  EXPECT_EQ(Records(), (Texts{"Anna", "AB", "Ann", "A?"}));
  Delete("Ann");
  EXPECT_EQ(Records(), (Texts{"Anna", "AB", "-", "A?"}));
}

TEST_F(FileCommandsTest, CancelAndFailedOpenKeepTheFileInUse) {
  desktop.files.push_back(std::nullopt);
  files.MenuFileNew_Click();
  desktop.files.push_back(std::nullopt);
  files.MenuFileOpen_Click();
  EXPECT_EQ(desktop.TakeTexts(), (Texts{kNoFileCreated}));
  EXPECT_EQ(files.DataFileName(), "");

  WriteRecords({});
  Open(path);
  Save("A");
  desktop.TakeTexts();
  for (const std::string& bad : {(dir / "none" / "x.QMV").string(), dir.string()}) {
    Open(bad);
    New(bad);
  }
  EXPECT_EQ(desktop.TakeTexts(), (Texts{"Unexpected error. Err 2 : No such file or directory",
                                        "Unexpected error. Err 2 : No such file or directory",
                                        "Unexpected error. Err 21 : Is a directory",
                                        "Unexpected error. Err 21 : Is a directory"}));
  EXPECT_FALSE(files.OpenDataFile((dir / "missing.QMV").string()));
  EXPECT_FALSE(fs::exists(dir / "missing.QMV"));
  // Named at start: the message names the file.
  EXPECT_EQ(desktop.TakeTexts(), (Texts{"Unexpected error. Err 2 : No such file or directory\nThe "
                                        "data file " +
                                        (dir / "missing.QMV").string() + " cannot be opened."}));
  EXPECT_EQ(files.DataFileName(), path);
  Save("B");
  EXPECT_EQ(Records(), (Texts{"A", "B"}));
}

// Failures of the file layer while the file is open: each is reported, no
// other byte changes, and the commands go on working afterwards.
TEST_F(FileCommandsTest, FileLayerFailuresLeaveEveryRecordAsItWas) {
  const std::string other = (dir / "other.QMV").string();
  struct Case {
    const char* what;
    std::function<void()> harm;
    const char* message;
  } cases[] = {
      {"a file-size limit",
       [&] {
         std::signal(SIGXFSZ, SIG_IGN);
         const rlimit limit{2 * kRecordLength + 100, RLIM_INFINITY};
         ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
       },
       "Unexpected error. Err 27 : File too large\nThe figure was not saved"},
      {"made read-only", [&] { fs::permissions(path, fs::perms::owner_read); }, "is read-only"},
      {"removed", [&] { fs::remove(path); }, "is no longer where it was opened"},
      {"replaced", [&] { fs::rename(other, path); }, "is no longer where it was opened"},
      {"cut short", [&] { fs::resize_file(path, kRecordLength + 100); }, "is damaged"},
  };
  for (const Case& c : cases) {
    WriteRecords({Named("A"), Named("B")});
    WriteRecords({});
    fs::copy_file(path, other, fs::copy_options::overwrite_existing);
    WriteRecords({Named("A"), Named("B")});
    Open(path);
    desktop.TakeTexts();
    c.harm();
    const std::string before = fs::exists(path) ? Bytes() : "";
    Save("C");
    if (c.message[0] != 'U') Delete("B");  // refused for the same reason
    const rlimit none{RLIM_INFINITY, RLIM_INFINITY};
    ::setrlimit(RLIMIT_FSIZE, &none);
    const Texts shown = desktop.TakeTexts();
    ASSERT_FALSE(shown.empty()) << c.what;
    EXPECT_NE(shown[0].find(c.message), std::string::npos) << c.what << ": " << shown[0];
    EXPECT_EQ(fs::exists(path) ? Bytes() : "", before) << c.what;
    if (fs::exists(path)) fs::permissions(path, fs::perms::owner_all);
    if (!fs::exists(path) || fs::file_size(path) % kRecordLength != 0) WriteRecords({});
    Open(path);  // a fresh start works
    Save("C");
    EXPECT_EQ(desktop.TakeTexts().back(), kRecordSaved) << c.what;
  }
}

// Thousands of random saves, deletes and loads against a model of the file.
TEST_F(FileCommandsTest, RandomStepsKeepTheFileAsTheModelSaysItMustBe) {
  const Texts pool = {"A",  "An", "Ann",  "Anna", "B",  "B*",          "B?x",
                      "[x", "#1", "A  b", "",     " A", "Caf\xC3\xA9", "Zed"};
  std::mt19937 random(7);
  std::vector<std::optional<FigureRecord>> model;  // nothing: a deleted slot
  New(path);
  for (int step = 0; step < 3000; ++step) {
    const std::string name = pool[random() % pool.size()];
    const std::string range = std::to_string(random() % 7 * 2);
    const auto exact = [&]() -> std::int64_t {
      for (std::size_t i = 0; i < model.size(); ++i)
        if (model[i] && FitName(model[i]->Name) == FitName(name))
          return static_cast<std::int64_t>(i);
      return -1;
    };
    switch (random() % 3) {
      case 0: {
        Save(name, range);
        FigureRecord r;
        StoreScreenInRecord(editor.Screen(), r);
        std::int64_t at = exact();
        for (std::size_t i = 0; at < 0 && i < model.size(); ++i)
          if (!model[model.size() - 1 - i]) at = static_cast<std::int64_t>(model.size() - 1 - i);
        if (at < 0) {
          model.push_back(r);
        } else {
          model[at] = r;
        }
        break;
      }
      case 1:
        Delete(name);
        if (const std::int64_t at = exact(); at >= 0) model[at].reset();
        break;
      default: {
        // A random entry of the list: its own record comes back.
        const std::vector<NameEntry>& list = files.NameList();
        if (list.empty()) break;
        const std::size_t entry = random() % list.size();
        const FigureRecord& listed = *model[static_cast<std::size_t>(list[entry].record - 1)];
        if (editor.HasUnsavedChanges()) desktop.saveChoices.push_back(SaveChoice::Discard);
        files.ComboName_Click(static_cast<int>(entry));
        ASSERT_EQ(editor.Screen().rangeText, std::to_string(listed.Range)) << "step " << step;
        ASSERT_EQ(FitName(editor.Screen().name), FitName(listed.Name)) << "step " << step;
      }
    }
    std::string bytes;
    for (const auto& r : model) {
      const RecordBytes b = EncodeRecord(r ? *r : DeletedRecord());
      bytes.append(reinterpret_cast<const char*>(b.data()), b.size());
    }
    ASSERT_EQ(Bytes(), bytes) << "step " << step << " name " << name;
  }
}

// The disk fails part way through a save; the message tells the truth
// about what is on the disk, and every other record stays as it was.
TEST_F(FileCommandsTest, InjectedFaultsAreReportedAsTheyLeaveTheFile) {
  FaultyCalls calls;
  files.SetSystemCalls(&calls);
  int writes = 0, syncs = 0, reads = 0;
  const auto halfThenFail = [&](bool putBackFails) {
    return [&writes, putBackFails](int fd, const void* b, size_t n, off_t at) -> ssize_t {
      if (++writes == 1) return SystemCalls::Real().Pwrite(fd, b, n / 2, at);
      if (writes == 2 || putBackFails) return Failing(EIO);
      return SystemCalls::Real().Pwrite(fd, b, n, at);
    };
  };
  struct Case {
    const char* what;
    const char* name;  // "A" is record 1, rewritten in place; "C" is new
    std::function<void()> inject;
    const char* message;
    bool fileAsItWas;
  } cases[] = {
      {"a short write, then an error", "A", [&] { calls.pwrite = halfThenFail(false); },
       "Unexpected error. Err 5 : Input/output error\nThe figure was not saved; the data file is "
       "as it was.",
       true},
      {"the put-back fails too", "A", [&] { calls.pwrite = halfThenFail(true); },
       "Unexpected error. Err 5 : Input/output error\nPutting back record 1 failed too (Err 5 : "
       "Input/output error): that record of the data file may now be damaged.",
       false},
      {"writes that take nothing", "C",
       [&] { calls.pwrite = [](int, const void*, size_t, off_t) -> ssize_t { return 0; }; },
       "Unexpected error. Err 5 : The disk took no data after 8 tries\nThe figure was not saved",
       true},
      {"writes interrupted for ever", "C",
       [&] { calls.pwrite = [](int, const void*, size_t, off_t) { return Failing(EINTR); }; },
       "Unexpected error. Err 5 : The disk took no data after 8 tries\nThe figure was not saved",
       true},
      {"a failed flush", "C",
       [&] {
         calls.fsync = [&](int) { return ++syncs == 1 ? static_cast<int>(Failing(EIO)) : 0; };
       },
       "Unexpected error. Err 5 : Input/output error\nThe figure was not saved; the data file is "
       "as it was.",
       true},
      {"reads interrupted for ever", "C",
       [&] { calls.pread = [](int, void*, size_t, off_t) { return Failing(EINTR); }; },
       "Unexpected error. Err 5 : The disk gave no data after 8 tries\nThe figure was not saved",
       true},
      {"a read that ends early", "C",
       [&] {
         calls.pread = [&](int fd, void* b, size_t n, off_t at) -> ssize_t {
           return ++reads == 1 ? 0 : SystemCalls::Real().Pread(fd, b, n, at);
         };
       },
       "Unexpected error. Err 5 : The data file could not be read whole: record 1 of 2 came back "
       "empty\nThe figure was not saved",
       true},
  };
  for (const Case& c : cases) {
    calls = FaultyCalls{};
    writes = syncs = reads = 0;
    WriteRecords({Named("A", 2), Named("B", 4)});
    Open(path);
    desktop.TakeTexts();
    const std::string before = Bytes();
    c.inject();
    Save(c.name, "6");
    calls = FaultyCalls{};
    const Texts shown = desktop.TakeTexts();
    ASSERT_FALSE(shown.empty()) << c.what;
    EXPECT_NE(shown[0].find(c.message), std::string::npos) << c.what << ": " << shown[0];
    EXPECT_EQ(std::count(shown.begin(), shown.end(), kRecordSaved), 0) << c.what;
    if (c.fileAsItWas) {
      EXPECT_EQ(Bytes(), before) << c.what;
    } else {  // record 2 at least is whole
      EXPECT_EQ(Bytes().substr(kRecordLength), before.substr(kRecordLength)) << c.what;
    }
  }
}

// Another program holds the file's lock: every command says so and
// writes nothing.
TEST_F(FileCommandsTest, ALockHeldElsewhereStopsEveryCommandWithoutAWrite) {
  WriteRecords({Named("A", 2), Named("B", 4)});
  Open(path);
  files.SetLockWait(std::chrono::milliseconds(20));
  const std::string before = Bytes();
  DataFile other;
  ASSERT_TRUE(other.Open(path, false, nullptr));
  for (const auto kind : {RecordFile::LockKind::Exclusive, RecordFile::LockKind::Shared}) {
    FileLock held = other.Lock(kind, kLockWait, nullptr);
    ASSERT_TRUE(held);
    Save("C");
    Delete("A");
    if (kind == RecordFile::LockKind::Exclusive) {
      editor.ResetScreen();  // no unsaved change to ask about first
      files.ComboName_Click(1);
      Open(path);
    }
    for (const std::string& text : desktop.TakeTexts())
      EXPECT_NE(text.find("is in use by another program"), std::string::npos) << text;
    EXPECT_EQ(Bytes(), before);
  }
  Save("C");  // free again
  EXPECT_EQ(Records(), (Texts{"A", "B", "C"}));
}

// A second window that tries to write while the first is between its
// search and its write must wait: here it gives up, and the first
// window's failed append is cut back without touching anything else.
TEST_F(FileCommandsTest, NoOtherWriterGetsInBetweenSearchWriteAndPutBack) {
  WriteRecords({Named("A", 2)});
  ScriptedDesktop secondDesktop;
  DialEditor secondEditor{secondDesktop};
  FileCommands second{secondDesktop, secondEditor};
  second.SetLockWait(std::chrono::milliseconds(20));
  ASSERT_TRUE(second.OpenDataFile(path));
  FaultyCalls calls;
  files.SetSystemCalls(&calls);
  Open(path);
  bool fail = false, armed = false;
  calls.pwrite = [&](int fd, const void* b, size_t n, off_t at) -> ssize_t {
    if (!std::exchange(armed, false)) return SystemCalls::Real().Pwrite(fd, b, n, at);
    secondEditor.SetName(fail ? "Second 2" : "Second 1");
    second.MenuFileSave_Click();  // the second window, right then
    return fail ? Failing(ENOSPC) : SystemCalls::Real().Pwrite(fd, b, n, at);
  };
  for (const bool failing : {false, true}) {
    fail = failing;
    armed = true;
    Save(fail ? "First 2" : "First 1");
  }
  EXPECT_EQ(Records(), (Texts{"A", "First 1"}));
  const Texts firstSaw = desktop.TakeTexts();
  EXPECT_EQ(firstSaw.front(), kRecordSaved);
  EXPECT_NE(firstSaw.back().find("No space left on device\nThe figure was not saved; the data "
                                 "file is as it was."),
            std::string::npos);
  for (const std::string& text : secondDesktop.TakeTexts())
    EXPECT_NE(text.find("is in use by another program"), std::string::npos) << text;
}

// Writers on separate open files at once, as two windows and a tool are:
// every figure reported saved is there exactly once, every one reported
// deleted is gone.
TEST_F(FileCommandsTest, ConcurrentWritersLoseNothingAndClaimNothingFalse) {
  WriteRecords({});
  constexpr int kSaves = 150;
  struct Writer {
    ScriptedDesktop desktop;
    DialEditor editor{desktop};
    FileCommands files{desktop, editor};
    std::vector<std::string> saved;
    int deletedX = 0, savedX = 0;
  };
  std::array<Writer, 3> writers;
  std::vector<std::thread> threads;
  for (int w = 0; w < 3; ++w) {
    threads.emplace_back([&, w] {
      Writer& me = writers[w];
      me.files.SetLockWait(std::chrono::seconds(60));
      ASSERT_TRUE(me.files.OpenDataFile(path));
      for (int i = 0; i < kSaves; ++i) {
        const bool x = w == 2;
        const std::string name = x ? "X" : "W" + std::to_string(w) + "-" + std::to_string(i);
        me.editor.SetName(name);
        if (x && i % 2 == 1) {
          me.files.MenuDeleteRecord_Click();
          me.deletedX += me.desktop.TakeTexts().back() == kRecordDeleted;
        } else if (me.files.MenuFileSave_Click()) {
          if (x) ++me.savedX;
          if (!x) me.saved.push_back(name);
        }
      }
    });
  }
  for (std::thread& t : threads)
    t.join();
  std::map<std::string, int> stored;
  for (const std::string& name : Records())
    ++stored[name];
  for (int w = 0; w < 2; ++w) {
    EXPECT_EQ(writers[w].saved.size(), std::size_t{kSaves});
    for (const std::string& name : writers[w].saved)
      EXPECT_EQ(stored[name], 1) << name;
  }
  EXPECT_EQ(writers[2].savedX, kSaves / 2);
  EXPECT_EQ(writers[2].deletedX, kSaves / 2);
  EXPECT_EQ(stored["X"], 0);
  EXPECT_EQ(Records().size() - static_cast<std::size_t>(stored["-"]), 2u * kSaves);
}

// A file that may be read but not written (a read-only mount, no write
// permission) is listed and loaded; saves and deletes say why not.
TEST_F(FileCommandsTest, AFileThatMayOnlyBeReadIsOpenedForReading) {
  WriteRecords({Named("A", 2), Named("B", 4)});
  FaultyCalls calls;
  calls.open = [](const char* p, int flags, mode_t mode) {
    return (flags & O_ACCMODE) == O_RDONLY ? ::open(p, flags, mode)
                                           : static_cast<int>(Failing(EROFS));
  };
  files.SetSystemCalls(&calls);
  const std::string before = Bytes();
  Open(path);
  EXPECT_EQ(Shown(), (Texts{"A", "B"}));
  Pick("B");
  EXPECT_EQ(editor.Screen().rangeText, "4");
  Save("B");
  Delete("A");
  EXPECT_EQ(desktop.TakeTexts(),
            Texts(2, "The data file " + path + " is read-only. Nothing was written."));
  EXPECT_EQ(Bytes(), before);
}

// A damaged file says so once when it is opened, with the way out.
TEST_F(FileCommandsTest, ADamagedFileIsNamedOnceWhenOpened) {
  WriteRecords({Named("A", 2)});
  std::ofstream(path, std::ios::app | std::ios::binary) << "half a record";
  Open(path);
  EXPECT_EQ(Shown(), (Texts{"A"}));
  Pick("A");
  Save("A");
  const Texts shown = desktop.TakeTexts();
  ASSERT_EQ(shown.size(), 2u);
  for (const std::string& text : shown) {
    EXPECT_NE(text.find("is damaged: it is 499 bytes long"), std::string::npos) << text;
    EXPECT_NE(text.find("zandorik repair " + path), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace zandorik
