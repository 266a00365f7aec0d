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
#include <string>
#include <utility>
#include <vector>

#include "store/figure_record.h"
#include "store/system_calls.h"

namespace zandorik {

class RecordFile;

// What a write is about to change: the file's length and the old bytes of
// the records (numbered from 1) it writes in place, each once.
struct JournalContents {
  std::int64_t oldLength = 0;
  std::vector<std::pair<std::int64_t, RecordBytes>> records;
};

// PATH.journal.
std::string JournalPath(const std::string& dataPath);
bool JournalExists(const std::string& dataPath);

// The journal's bytes, and back. Decoding fails for anything but a whole
// journal: one whose writing was cut short, or that is not a journal.
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
// the journal removed. A journal that was never finished (the data file
// was not yet touched) is just removed; without a journal, nothing is done.
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
