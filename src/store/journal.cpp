#include "store/journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "store/record_file.h"

namespace zandorik {
namespace {

// "QMVJRNL" and the format's version, 1.
constexpr std::string_view kMagic{"QMVJRNL\x01", 8};
constexpr std::size_t kHeaderLength = 8 + 8 + 4;  // magic, old length, count
constexpr std::size_t kEntryLength = 8 + kRecordLength;
constexpr std::size_t kCheckLength = 4;

// CRC-32 (the polynomial of zlib and PNG).
std::uint32_t Crc32(std::string_view bytes) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k)
        c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (const char b : bytes)
    crc = table[(crc ^ static_cast<std::uint8_t>(b)) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
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

}  // namespace

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
  Put(out, contents.records.size(), 4);
  for (const auto& [number, bytes] : contents.records) {
    Put(out, static_cast<std::uint64_t>(number), 8);
    out.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  Put(out, Crc32(out), 4);
  return out;
}

bool DecodeJournal(std::string_view in, JournalContents& contents) {
  if (in.size() < kHeaderLength + kCheckLength || in.substr(0, kMagic.size()) != kMagic) {
    return false;
  }
  const std::uint64_t count = Get(in, 16, 4);
  if (in.size() != kHeaderLength + count * kEntryLength + kCheckLength) return false;
  const std::size_t body = in.size() - kCheckLength;
  if (Crc32(in.substr(0, body)) != Get(in, body, 4)) return false;
  contents.oldLength = static_cast<std::int64_t>(Get(in, 8, 8));
  contents.records.clear();
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = kHeaderLength + i * kEntryLength;
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
  if (JournalContents contents; DecodeJournal(bytes, contents)) {
    for (const auto& [number, old] : contents.records) {
      if (!data.WriteRaw((number - 1) * kRecordBytes, old.data(), old.size(), error)) return false;
    }
    if (!data.Truncate(contents.oldLength, error) || !data.Sync(error)) return false;
  }
  return RemoveJournal(calls, data.Path(), error);
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
