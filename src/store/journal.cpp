#include "store/journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "store/record_file.h"

namespace zandorik {
namespace {

// "QMVJRNL" and the format's version: 2 since the journal holds the old
// file's check sum; 1 before.
constexpr std::string_view kMagic{"QMVJRNL\x02", 8};
constexpr std::string_view kMagicFirst{"QMVJRNL\x01", 8};
constexpr std::size_t kHeaderLength = 8 + 8 + 4 + 4;   // magic, old length, check sum, count
constexpr std::size_t kHeaderLengthFirst = 8 + 8 + 4;  // magic, old length, count
constexpr std::size_t kEntryLength = 8 + kRecordLength;
constexpr std::size_t kCheckLength = 4;

// Slicing by eight: eight tables, eight bytes a step.
using CrcTables = std::array<std::array<std::uint32_t, 256>, 8>;
const CrcTables& Tables() {
  static const CrcTables tables = [] {
    CrcTables t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k)
        c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[0][i] = c;
    }
    for (std::size_t k = 1; k < 8; ++k) {
      for (std::size_t i = 0; i < 256; ++i)
        t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
    }
    return t;
  }();
  return tables;
}

void Put(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i)
    out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::uint64_t Get(std::string_view in, std::size_t at, int bytes) {
  std::uint64_t value = 0;
  for (int i = 0; i < bytes; ++i)
    value |= static_cast<std::uint64_t>(static_cast<std::uint8_t>(in[at + i])) << (8 * i);
  return value;
}

constexpr auto kRecordBytes = static_cast<std::int64_t>(kRecordLength);

// The signal that came while HeldSignals lived, or 0.
volatile std::sig_atomic_t heldSignal = 0;

extern "C" void HoldSignal(int number) {
  heldSignal = number;
}

std::function<void(const std::string&)>& NoticeSink() {
  static std::function<void(const std::string&)> sink = [](const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
  };
  return sink;
}

// Renames the journal PATH.journal.unmatched, or .unmatched-2, ..., never
// over a file there: the name it was given.
bool SetAside(SystemCalls& calls, const std::string& journal, std::string& kept, FileError* error) {
  for (int n = 1; n < 1000; ++n) {
    kept = journal + ".unmatched" + (n == 1 ? std::string() : "-" + std::to_string(n));
    if (::link(journal.c_str(), kept.c_str()) == 0) {
      calls.Unlink(journal.c_str());
      return SyncFolderOf(calls, journal, error);
    }
    if (errno != EEXIST) break;
  }
  if (error) *error = ErrorOf(errno);
  return false;
}

}  // namespace

std::uint32_t Crc32Update(std::uint32_t crc, const std::uint8_t* p, std::size_t count) {
  const CrcTables& t = Tables();
  crc = ~crc;
  for (; count >= 8; p += 8, count -= 8) {
    const std::uint32_t one = crc ^ (static_cast<std::uint32_t>(p[0]) | p[1] << 8 | p[2] << 16 |
                                     static_cast<std::uint32_t>(p[3]) << 24);
    const std::uint32_t two = static_cast<std::uint32_t>(p[4]) | p[5] << 8 | p[6] << 16 |
                              static_cast<std::uint32_t>(p[7]) << 24;
    crc = t[7][one & 0xFF] ^ t[6][(one >> 8) & 0xFF] ^ t[5][(one >> 16) & 0xFF] ^ t[4][one >> 24] ^
          t[3][two & 0xFF] ^ t[2][(two >> 8) & 0xFF] ^ t[1][(two >> 16) & 0xFF] ^ t[0][two >> 24];
  }
  for (; count > 0; ++p, --count)
    crc = t[0][(crc ^ *p) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

bool ChecksumOfFile(const RecordFile& data, std::int64_t length,
                    const std::vector<std::pair<std::int64_t, RecordBytes>>& substitutes,
                    std::uint32_t& checksum, FileError* error) {
  std::vector<const std::pair<std::int64_t, RecordBytes>*> order;
  order.reserve(substitutes.size());
  for (const auto& entry : substitutes)
    order.push_back(&entry);
  std::sort(order.begin(), order.end(), [](auto* a, auto* b) { return a->first < b->first; });
  // Whole records a chunk: a substitute never straddles two.
  constexpr std::int64_t kChunk = 2048 * kRecordBytes;
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min(kChunk, length)));
  std::uint32_t crc = 0;
  auto next = order.begin();
  for (std::int64_t at = 0; at < length; at += kChunk) {
    const std::int64_t count = std::min(kChunk, length - at);
    if (!data.ReadAt(at, buffer.data(), static_cast<std::size_t>(count), error)) return false;
    for (; next != order.end() && ((*next)->first - 1) * kRecordBytes < at + count; ++next) {
      const std::int64_t offset = ((*next)->first - 1) * kRecordBytes - at;
      if (offset >= 0 && offset + kRecordBytes <= count)
        std::memcpy(buffer.data() + offset, (*next)->second.data(), kRecordLength);
    }
    crc = Crc32Update(crc, buffer.data(), static_cast<std::size_t>(count));
  }
  checksum = crc;
  return true;
}

JournalNotices::JournalNotices(std::function<void(const std::string&)> say)
    : before_(std::exchange(NoticeSink(), std::move(say))) {}

JournalNotices::~JournalNotices() {
  NoticeSink() = std::move(before_);
}

std::string JournalPath(const std::string& dataPath) {
  return dataPath + ".journal";
}

bool JournalExists(const std::string& dataPath) {
  struct stat there {};
  return ::lstat(JournalPath(dataPath).c_str(), &there) == 0;
}

std::string EncodeJournal(const JournalContents& contents) {
  std::string out;
  out.reserve(kHeaderLength + contents.records.size() * kEntryLength + kCheckLength);
  out += kMagic;
  Put(out, static_cast<std::uint64_t>(contents.oldLength), 8);
  Put(out, contents.oldChecksum, 4);
  Put(out, contents.records.size(), 4);
  for (const auto& [number, bytes] : contents.records) {
    Put(out, static_cast<std::uint64_t>(number), 8);
    out.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  Put(out, Crc32(out), 4);
  return out;
}

bool DecodeJournal(std::string_view in, JournalContents& contents) {
  const bool first = in.starts_with(kMagicFirst);
  if (!first && !in.starts_with(kMagic)) return false;
  const std::size_t header = first ? kHeaderLengthFirst : kHeaderLength;
  if (in.size() < header + kCheckLength) return false;
  const std::uint64_t count = Get(in, header - 4, 4);
  if (in.size() != header + count * kEntryLength + kCheckLength) return false;
  const std::size_t body = in.size() - kCheckLength;
  if (Crc32(in.substr(0, body)) != Get(in, body, 4)) return false;
  contents.oldLength = static_cast<std::int64_t>(Get(in, 8, 8));
  contents.oldChecksum = first ? 0 : static_cast<std::uint32_t>(Get(in, 16, 4));
  contents.checked = !first;
  contents.records.clear();
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = header + i * kEntryLength;
    const auto number = static_cast<std::int64_t>(Get(in, at, 8));
    // Only records inside the old length are ever written in place.
    if (number < 1 || number * kRecordBytes > contents.oldLength) return false;
    RecordBytes& bytes = contents.records.emplace_back(number, RecordBytes{}).second;
    std::memcpy(bytes.data(), in.data() + at + 8, kRecordLength);
  }
  return true;
}

bool WriteJournal(SystemCalls& calls, const std::string& dataPath, unsigned permissions,
                  const JournalContents& contents, FileError* error) {
  const std::string path = JournalPath(dataPath);
  const std::string bytes = EncodeJournal(contents);
  FileError why;
  const int fd = calls.Open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                            static_cast<mode_t>(permissions & 0666));
  if (fd < 0) {
    why = ErrorOf(errno);
  } else {
    bool written = WriteWhole(calls, fd, bytes.data(), bytes.size(), &why);
    if (written && calls.Fsync(fd) != 0) {
      why = ErrorOf(errno);
      written = false;
    }
    ::close(fd);
    if (written && SyncFolderOf(calls, path, &why)) return true;
    calls.Unlink(path.c_str());
  }
  if (error) {
    *error = FileError{why.number, "The journal " + path + " could not be made (" +
                                       why.description + "), so nothing was written"};
  }
  return false;
}

bool RemoveJournal(SystemCalls& calls, const std::string& dataPath, FileError* error) {
  const std::string path = JournalPath(dataPath);
  FileError why;
  if (calls.Unlink(path.c_str()) != 0 && errno != ENOENT) {
    why = ErrorOf(errno);
  } else if (SyncFolderOf(calls, path, &why)) {
    return true;
  }
  if (error) {
    *error =
        FileError{why.number, "The journal " + path + " could not be removed: " + why.description};
  }
  return false;
}

bool RollBackJournal(RecordFile& data, FileError* error) {
  const std::string path = JournalPath(data.Path());
  SystemCalls& calls = data.Calls();
  std::string bytes;
  {
    RecordFile journal;
    journal.SetSystemCalls(&calls);
    FileError why;
    if (!journal.Open(path, RecordFile::Mode::ReadOnly, &why)) {
      if (why.number == ENOENT) return true;
      if (error) *error = why;
      return false;
    }
    RecordFile::Status status;
    if (!journal.Stat(status, error)) return false;
    bytes.resize(static_cast<std::size_t>(status.size));
    if (!journal.ReadAt(0, reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size(), error)) {
      return false;
    }
  }
  // A journal that was never finished was never followed by a write.
  JournalContents contents;
  if (!DecodeJournal(bytes, contents)) return RemoveJournal(calls, data.Path(), error);
  // Only onto the file it was made for.
  bool belongs = contents.checked;
  if (belongs) {
    RecordFile::Status status;
    std::uint32_t checksum = 0;
    if (!data.Stat(status, error)) return false;
    belongs = status.size >= contents.oldLength;
    if (belongs && !ChecksumOfFile(data, contents.oldLength, contents.records, checksum, error))
      return false;
    belongs = belongs && checksum == contents.oldChecksum;
  }
  if (!belongs) {
    std::string kept;
    if (!SetAside(calls, path, kept, error)) return false;
    NoticeSink()("The journal " + path +
                 (contents.checked ? " does not belong to " + data.Path() +
                                         " as it is now (the file was replaced or changed since "
                                         "a write was cut short)"
                                   : " was made by an earlier version and cannot be checked "
                                     "against " +
                                         data.Path()) +
                 ": it was not applied, and is kept as " + kept + ".");
    return true;
  }
  for (const auto& [number, old] : contents.records) {
    if (!data.WriteRaw((number - 1) * kRecordBytes, old.data(), old.size(), error)) return false;
  }
  if (!data.Truncate(contents.oldLength, error) || !data.Sync(error)) return false;
  if (!RemoveJournal(calls, data.Path(), error)) return false;
  NoticeSink()("The data file " + data.Path() +
               " was put back as it was before a write that was cut short (from " + path + ").");
  return true;
}

HeldSignals::HeldSignals() {
  heldSignal = 0;
  struct sigaction hold {};
  hold.sa_handler = HoldSignal;
  sigemptyset(&hold.sa_mask);
  hold.sa_flags = SA_RESTART;
  // A signal the program ignores (started in the background) stays ignored.
  for (auto [number, old] :
       {std::pair{SIGINT, &oldInterrupt_}, std::pair{SIGTERM, &oldTerminate_}}) {
    ::sigaction(number, &hold, old);
    if (old->sa_handler == SIG_IGN) ::sigaction(number, old, nullptr);
  }
}

HeldSignals::~HeldSignals() {
  ::sigaction(SIGINT, &oldInterrupt_, nullptr);
  ::sigaction(SIGTERM, &oldTerminate_, nullptr);
  if (const int number = heldSignal; number != 0) {
    heldSignal = 0;
    std::raise(number);
  }
}

bool HeldSignals::Pending() const {
  return heldSignal != 0;
}

}  // namespace zandorik
