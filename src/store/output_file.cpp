#include "store/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>
#include <utility>

#include "store/data_file.h"

namespace zandorik {
namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// Whether `path` lies in /proc, where a link such as /proc/self/fd/1 stands
// for a file the program has open (its standard output) rather than for a
// place to put a file.
bool InsideProc(const std::string& path) {
  char* real = ::realpath(FolderOf(path).c_str(), nullptr);
  if (!real) return false;
  const bool inside = std::string_view(real).starts_with("/proc/");
  std::free(real);
  return inside;
}

// Follows `path` through symbolic links to the name written: `target`.
// `proc` when a link leads into /proc (/dev/stdout, /dev/fd/1).
bool FollowLinks(const std::string& path, std::string& target, bool& proc, FileError* error) {
  std::string current = path;
  proc = false;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat there {};
    if (::lstat(current.c_str(), &there) != 0) {
      if (errno != ENOENT) {
        if (error) *error = ErrorOf(errno);
        return false;
      }
      target = current;  // a new name, or a link to one
      return true;
    }
    if (!S_ISLNK(there.st_mode)) {
      target = current;
      return true;
    }
    if (InsideProc(current)) {
      proc = true;
      target = current;
      return true;
    }
    char text[PATH_MAX];
    const ssize_t length = ::readlink(current.c_str(), text, sizeof text);
    if (length < 0) {
      if (error) *error = ErrorOf(errno);
      return false;
    }
    std::string next(text, static_cast<std::size_t>(length));
    if (!next.starts_with('/') && current.find('/') != std::string::npos)
      next = current.substr(0, current.rfind('/') + 1) + next;
    current = std::move(next);
  }
  if (error) *error = ErrorOf(ELOOP);
  return false;
}

// The input that `st` is, or nullptr.
const std::string* InputAmong(const struct stat& st, const std::vector<std::string>& inputs) {
  for (const std::string& input : inputs) {
    struct stat in {};
    if (::stat(input.c_str(), &in) == 0 && in.st_dev == st.st_dev && in.st_ino == st.st_ino)
      return &input;
  }
  return nullptr;
}

FileError IsInput(const std::string& output, const std::string& input) {
  return FileError{kErrorOutputIsInput,
                   "the output " + output + " is the data file " + input +
                       " itself (the same file), which writing it would destroy"};
}

std::string TemporaryName(const std::string& target) {
  // One generator per thread: a recovery file is written on a thread of
  // its own while the window may write an export.
  thread_local std::mt19937 random{std::random_device{}()};
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string name = target + ".";
  for (int i = 0; i < 6; ++i)
    name += kLetters[random() % (sizeof kLetters - 1)];
  return name;
}

}  // namespace

bool RefuseDataFileOutput(const std::string& path, FileError* error) {
  if (!IsDataFileOnDisk(path)) return true;
  std::string target;
  bool proc = false;
  FollowLinks(path, target, proc, nullptr);
  if (error) {
    *error = FileError{kErrorOutputIsDataFile,
                       "the output " + path + " is " +
                           (target.empty() || target == path ? std::string("a data file")
                                                             : "the data file " + target) +
                           ", which writing it would destroy"};
  }
  return false;
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : calls_(other.calls_),
      fd_(std::exchange(other.fd_, -1)),
      stream_(std::exchange(other.stream_, nullptr)),
      target_(std::move(other.target_)),
      temporary_(std::exchange(other.temporary_, {})),
      failed_(std::move(other.failed_)) {}

bool OutputFile::Fail(const FileError& why, FileError* error) {
  if (failed_.number == 0) failed_ = why.number != 0 ? why : ErrorOf(EIO);
  if (error) *error = failed_;
  return false;
}

bool OutputFile::Open(const std::string& path, const std::vector<std::string>& inputs,
                      FileError* error) {
  Discard();
  failed_ = FileError{};
  FileError why;
  std::string target;
  bool proc = false;
  if (path.empty()) return Fail(ErrorOf(ENOENT), error);
  if (!FollowLinks(path, target, proc, &why)) return Fail(why, error);
  struct stat there {};
  const bool exists = ::stat(target.c_str(), &there) == 0;
  if (!exists && errno != ENOENT) return Fail(ErrorOf(errno), error);
  if (exists) {
    if (const std::string* input = InputAmong(there, inputs))
      return Fail(IsInput(path, *input), error);
    if (S_ISDIR(there.st_mode)) return Fail(ErrorOf(EISDIR), error);
    if (!RefuseDataFileOutput(path, &why)) return Fail(why, error);
  }
  if (exists && (proc || !S_ISREG(there.st_mode))) {
    // A stream: written where it is, at its end when it is a file.
    const int flags = O_WRONLY | O_NOCTTY | O_CLOEXEC | (S_ISREG(there.st_mode) ? O_APPEND : 0);
    fd_ = calls_->Open(path.c_str(), flags, 0);
    if (fd_ < 0) return Fail(ErrorOf(errno), error);
    struct stat opened {};
    if (::fstat(fd_, &opened) == 0) {
      if (const std::string* input = InputAmong(opened, inputs)) {
        Discard();
        return Fail(IsInput(path, *input), error);
      }
    }
    return true;
  }
  for (int tries = 0; tries < 100 && fd_ < 0; ++tries) {
    temporary_ = TemporaryName(target);
    fd_ = calls_->Open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) {
    const int number = errno;
    temporary_.clear();
    return Fail(ErrorOf(number), error);
  }
  // A file replaced keeps its permissions.
  if (exists) ::fchmod(fd_, there.st_mode & 07777);
  target_ = target;
  return true;
}

bool OutputFile::OpenStandardOutput(std::FILE* out, const std::vector<std::string>& inputs,
                                    FileError* error) {
  Discard();
  failed_ = FileError{};
  struct stat st {};
  const int fd = ::fileno(out);
  if (fd >= 0 && ::fstat(fd, &st) == 0) {
    if (const std::string* input = InputAmong(st, inputs))
      return Fail(IsInput("(standard output)", *input), error);
  }
  stream_ = out;
  return true;
}

bool OutputFile::Write(std::string_view bytes, FileError* error) {
  if (failed_.number != 0) return Fail(failed_, error);
  if (stream_) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), stream_) == bytes.size()) return true;
    return Fail(ErrorOf(errno != 0 ? errno : EIO), error);
  }
  if (fd_ < 0) return Fail(ErrorOf(EBADF), error);
  FileError why;
  if (WriteWhole(*calls_, fd_, bytes.data(), bytes.size(), &why)) return true;
  return Fail(why, error);
}

bool OutputFile::Commit(FileError* error) {
  FileError why;
  bool ok = failed_.number == 0;
  if (!ok) {
    why = failed_;
  } else if (stream_) {
    ok = std::fflush(stream_) == 0 && !std::ferror(stream_);
    if (!ok) why = ErrorOf(errno != 0 ? errno : EIO);
    stream_ = nullptr;
  } else if (fd_ < 0) {
    ok = false;
    why = ErrorOf(EBADF);
  } else {
    // A file is flushed before it takes its name, so that the name never
    // stands for less than the whole file.
    if (!temporary_.empty() && calls_->Fsync(fd_) != 0) {
      ok = false;
      why = ErrorOf(errno);
    }
    if (::close(std::exchange(fd_, -1)) != 0 && ok) {
      ok = false;
      why = ErrorOf(errno);
    }
    if (ok && !temporary_.empty()) {
      if (calls_->Rename(temporary_.c_str(), target_.c_str()) != 0) {
        ok = false;
        why = ErrorOf(errno);
      } else {
        temporary_.clear();
        SyncFolderOf(*calls_, target_, nullptr);
      }
    }
  }
  if (ok) return true;
  Discard();
  return Fail(why, error);
}

void OutputFile::Discard() {
  stream_ = nullptr;
  if (fd_ >= 0) ::close(std::exchange(fd_, -1));
  if (!temporary_.empty()) calls_->Unlink(std::exchange(temporary_, {}).c_str());
}

}  // namespace zandorik
