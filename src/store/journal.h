// The rollback journal of a data file: FILE.QMV.journal beside it, made
// before a write changes the first byte of the file and removed once the
// write is flushed. It holds the file's old length and the old bytes of
// every record the write changes in place, so that a write cut short (the
// program killed, the power lost) is undone by the next program that locks
// the file: every write is all or nothing. The format is described in
// docs/data-file.md.
#pragma once

#include <csignal>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "store/figure_record.h"
#include "store/system_calls.h"

namespace zandorik {

class RecordFile;

// What a write is about to change: the file's length and the old bytes of
// the records (numbered from 1) it writes in place, each once, and the
// CRC-32 of the whole file before the write, which ties the journal to
// that file: it is rolled back only onto a file that, with the old bytes
// put back and cut to the old length, gives that check sum again.
struct JournalContents {
  std::int64_t oldLength = 0;
  std::uint32_t oldChecksum = 0;
  std::vector<std::pair<std::int64_t, RecordBytes>> records;
  // False for a journal of the first format, which held no check sum.
  bool checked = true;
};

// CRC-32 (the polynomial of zlib and PNG): Crc32Update(state, ...) from
// state 0 over the bytes in turn.
std::uint32_t Crc32Update(std::uint32_t crc, const std::uint8_t* bytes, std::size_t count);
inline std::uint32_t Crc32(std::string_view bytes) {
  return Crc32Update(0, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

// The CRC-32 (the polynomial of zlib and PNG) of `data`'s first `length`
// bytes, each record of `substitutes` read as its bytes there instead of
// the file's. False when the file is shorter or cannot be read.
bool ChecksumOfFile(const RecordFile& data, std::int64_t length,
                    const std::vector<std::pair<std::int64_t, RecordBytes>>& substitutes,
                    std::uint32_t& checksum, FileError* error);

// Where the notices of journals rolled back or set aside go: one line
// each; by default a line on standard error. A JournalNotices replaces the
// default while it lives (the window shows them in a message box).
class JournalNotices {
 public:
  explicit JournalNotices(std::function<void(const std::string&)> say);
  JournalNotices(const JournalNotices&) = delete;
  JournalNotices& operator=(const JournalNotices&) = delete;
  ~JournalNotices();

 private:
  std::function<void(const std::string&)> before_;
};

// PATH.journal.
std::string JournalPath(const std::string& dataPath);
bool JournalExists(const std::string& dataPath);

// The journal's bytes, and back. Decoding fails for anything but a whole
// journal: one whose writing was cut short, or that is not a journal. A
// whole journal of the first format decodes with `checked` false.
std::string EncodeJournal(const JournalContents& contents);
bool DecodeJournal(std::string_view bytes, JournalContents& contents);

// Makes the journal (a new file, readable as the data file is, with
// `permissions`) and flushes it and its name to the disk. On failure no
// journal is left.
bool WriteJournal(SystemCalls& calls, const std::string& dataPath, unsigned permissions,
                  const JournalContents& contents, FileError* error);

// Removes the journal and flushes its folder: the write it guarded is done.
bool RemoveJournal(SystemCalls& calls, const std::string& dataPath, FileError* error);

// Rolls back the journal beside `data` (opened for writing, its exclusive
// lock held): the old bytes and the old length put back and flushed, then
// the journal removed, and a notice says so. A journal that was never
// finished (the data file was not yet touched) is just removed; one that
// belongs to another state of the file (the file was replaced since), or
// was written by a version that recorded no check sum, is never applied:
// it is renamed PATH.journal.unmatched (or .unmatched-2, ...) and a notice
// says so. Without a journal, nothing is done.
bool RollBackJournal(RecordFile& data, FileError* error);

// While it lives, SIGINT and SIGTERM only mark that they came, so that a
// write can stop between two records and roll back. When it ends, a
// signal that came is raised again with the handling there was before (by
// default, the program ends then).
class HeldSignals {
 public:
  HeldSignals();
  HeldSignals(const HeldSignals&) = delete;
  HeldSignals& operator=(const HeldSignals&) = delete;
  ~HeldSignals();
  // Whether SIGINT or SIGTERM came since.
  bool Pending() const;

 private:
  struct sigaction oldInterrupt_ {};
  struct sigaction oldTerminate_ {};
};

}  // namespace zandorik
