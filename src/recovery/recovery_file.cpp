#include "recovery/recovery_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "store/output_file.h"

namespace zandorik {
namespace {

constexpr std::string_view kHeading = "zandorik-recovery 1\n";
constexpr std::string_view kSuffix = ".recovery";
constexpr std::string_view kLockSuffix = ".lock";

// FNV-1a over the bytes before the checksum line: a recovery file cut
// short or changed by hand does not pass for a figure.
std::uint64_t Checksum(std::string_view bytes) {
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

std::string Hex(std::uint64_t value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text(16, '0');
  for (int i = 15; i >= 0; --i, value >>= 4)
    text[static_cast<std::size_t>(i)] = kDigits[value & 15];
  return text;
}

// Reads "WORD N\n" at `at`, where N is a length; false if it is not there.
bool ReadLength(std::string_view bytes, std::size_t& at, std::string_view word,
                std::size_t& length) {
  const std::string prefix = std::string(word) + " ";
  if (bytes.substr(at, prefix.size()) != prefix) return false;
  at += prefix.size();
  const std::size_t end = bytes.find('\n', at);
  if (end == std::string_view::npos || end == at || end - at > 9) return false;
  length = 0;
  for (char c : bytes.substr(at, end - at)) {
    if (c < '0' || c > '9') return false;
    length = length * 10 + static_cast<std::size_t>(c - '0');
  }
  at = end + 1;
  return true;
}

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() > end.size() && text.substr(text.size() - end.size()) == end;
}

bool MakeFolders(const std::string& folder, FileError* error) {
  for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
      if (error) *error = ErrorOf(errno);
      return false;
    }
    if (slash == std::string::npos) return true;
  }
}

}  // namespace

std::string RecoveredFigure::Name() const {
  std::string name = DecodeRecord(record.data()).Name;
  name.erase(name.find_last_not_of(' ') + 1);
  return name;
}

std::string EncodeRecovery(const RecoveredFigure& figure) {
  std::string bytes(kHeading);
  bytes += "data-file " + std::to_string(figure.dataFile.size()) + "\n" + figure.dataFile + "\n";
  bytes += "record " + std::to_string(kRecordLength) + "\n";
  bytes.append(reinterpret_cast<const char*>(figure.record.data()), figure.record.size());
  bytes += "\n";
  bytes += "checksum " + Hex(Checksum(bytes)) + "\n";
  return bytes;
}

bool DecodeRecovery(std::string_view bytes, RecoveredFigure& figure, std::string* why) {
  auto fail = [why](const char* text) {
    if (why) *why = text;
    return false;
  };
  if (bytes.substr(0, kHeading.size()) != kHeading) return fail("it is not a recovery file");
  std::size_t at = kHeading.size();
  std::size_t pathLength = 0;
  std::size_t recordLength = 0;
  if (!ReadLength(bytes, at, "data-file", pathLength) || bytes.size() - at < pathLength + 1 ||
      bytes[at + pathLength] != '\n')
    return fail("its data file's path is damaged");
  const std::string_view path = bytes.substr(at, pathLength);
  at += pathLength + 1;
  if (!ReadLength(bytes, at, "record", recordLength) || recordLength != kRecordLength ||
      bytes.size() - at < kRecordLength + 1 || bytes[at + kRecordLength] != '\n')
    return fail("its record is damaged or cut short");
  const std::string_view record = bytes.substr(at, kRecordLength);
  at += kRecordLength + 1;
  if (bytes.substr(at) != "checksum " + Hex(Checksum(bytes.substr(0, at))) + "\n")
    return fail("its checksum does not match its contents");
  figure.dataFile = std::string(path);
  std::copy(record.begin(), record.end(), figure.record.begin());
  return true;
}

std::string DefaultRecoveryFolder() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state && state[0] == '/') return std::string(state) + "/zandorik-dial";
  const char* home = std::getenv("HOME");
  if (!home || home[0] == '\0') return {};
  return std::string(home) + "/.local/state/zandorik-dial";
}

std::vector<std::string> RecoveryFilesIn(const std::string& folder) {
  std::vector<std::string> paths;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return paths;
  while (const dirent* entry = ::readdir(dir)) {
    if (EndsWith(entry->d_name, kSuffix)) paths.push_back(folder + "/" + entry->d_name);
  }
  ::closedir(dir);
  std::sort(paths.begin(), paths.end());
  return paths;
}

std::unique_ptr<RecoverySlot> RecoverySlot::Create(const std::string& folder, FileError* error) {
  if (!MakeFolders(folder, error)) return nullptr;
  // The lock file is made new (O_EXCL), so that no window takes the name
  // of a file left behind by another, even one with the same process id.
  const std::string stem = folder + "/figure-" + std::to_string(::getpid()) + "-";
  static std::atomic<int> counter{0};
  for (int tries = 0; tries < 1000; ++tries) {
    const std::string name = stem + std::to_string(counter++);
    const std::string lock = name + std::string(kLockSuffix);
    const int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      if (error) *error = ErrorOf(errno);
      return nullptr;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      continue;
    }
    return std::unique_ptr<RecoverySlot>(new RecoverySlot(name + std::string(kSuffix), fd));
  }
  if (error) *error = ErrorOf(EEXIST);
  return nullptr;
}

std::unique_ptr<RecoverySlot> RecoverySlot::Claim(const std::string& recoveryPath) {
  const std::string lock =
      recoveryPath.substr(0, recoveryPath.size() - kSuffix.size()) + std::string(kLockSuffix);
  const int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  // Held, and still the file of that name: its owner may have removed it
  // (and made a new one) between the open and the lock.
  struct stat held {
  }, named{};
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &held) != 0 ||
      ::stat(lock.c_str(), &named) != 0 || held.st_ino != named.st_ino ||
      held.st_dev != named.st_dev) {
    ::close(fd);
    return nullptr;
  }
  std::unique_ptr<RecoverySlot> slot(new RecoverySlot(recoveryPath, fd));
  if (!slot->Exists()) {
    slot->Remove();
    return nullptr;
  }
  return slot;
}

RecoverySlot::~RecoverySlot() {
  Release();
}

std::string RecoverySlot::LockPath() const {
  return path_.substr(0, path_.size() - kSuffix.size()) + std::string(kLockSuffix);
}

bool RecoverySlot::Exists() const {
  struct stat there {};
  return ::lstat(path_.c_str(), &there) == 0;
}

bool RecoverySlot::Read(RecoveredFigure& figure, std::string* why) const {
  const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) {
    if (why) *why = std::strerror(errno);
    return false;
  }
  // A recovery file is well under a page; anything longer is not one.
  std::string bytes(4096, '\0');
  std::size_t got = 0;
  for (;;) {
    const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
    if (got == bytes.size()) break;
  }
  ::close(fd);
  bytes.resize(got);
  return DecodeRecovery(bytes, figure, why);
}

bool RecoverySlot::Write(std::string_view bytes, FileError* error) {
  OutputFile output;
  return output.Open(path_, {}, error) && output.Write(bytes, error) && output.Commit(error);
}

void RecoverySlot::Remove() {
  ::unlink(path_.c_str());
  ::unlink(LockPath().c_str());
  Release();
}

std::string RecoverySlot::SetAside(FileError* error) {
  const std::string stem = path_.substr(0, path_.size() - kSuffix.size()) + ".unreadable";
  for (int n = 1; n < 1000; ++n) {
    const std::string aside = n == 1 ? stem : stem + "." + std::to_string(n);
    // link() never replaces a file: an earlier one set aside stays too.
    if (::link(path_.c_str(), aside.c_str()) == 0) {
      ::unlink(path_.c_str());
      ::unlink(LockPath().c_str());
      Release();
      return aside;
    }
    if (errno != EEXIST) break;
  }
  if (error) *error = ErrorOf(errno);
  return {};
}

void RecoverySlot::Release() {
  if (lockFd_ >= 0) ::close(lockFd_);
  lockFd_ = -1;
}

}  // namespace zandorik
