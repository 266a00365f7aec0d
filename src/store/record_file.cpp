#include "store/record_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

#include "store/journal.h"

namespace zandorik {
namespace {

bool Fail(FileError* error, int number) {
  if (error) *error = FileError{number, std::strerror(number)};
  return false;
}

bool MayBeOpenedForReadingInstead(int number) {
  return number == EACCES || number == EROFS || number == EPERM;
}

}  // namespace

RecordFile::~RecordFile() {
  Close();
}

bool RecordFile::Open(const std::string& path, Mode mode, FileError* error) {
  Close();
  // Without waiting for a FIFO's writer; anything but a regular file is
  // refused before a byte is read.
  const int flags = mode == Mode::ReadWrite   ? (O_RDWR | O_CREAT)
                    : mode == Mode::CreateNew ? (O_RDWR | O_CREAT | O_EXCL)
                    : mode == Mode::Existing  ? O_RDWR
                                              : O_RDONLY;
  const int fd = calls_->Open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0644);
  if (fd < 0) return Fail(error, errno);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int number = errno;
    ::close(fd);
    if (S_ISDIR(st.st_mode)) return Fail(error, EISDIR);
    if (error) *error = FileError{S_ISREG(st.st_mode) ? number : EINVAL, "not a regular file"};
    return false;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  fd_ = fd;
  readOnly_ = mode == Mode::ReadOnly;
  path_ = path;
  return true;
}

bool RecordFile::OpenForWritingIfAllowed(const std::string& path, Mode mode, FileError* error) {
  if (Open(path, mode, error)) return true;
  if (!error || !MayBeOpenedForReadingInstead(error->number)) return false;
  // Only a file that is there is opened for reading: a new one that could
  // not be created stays an error.
  struct stat there {};
  if (::stat(path.c_str(), &there) != 0) return false;
  FileError second;
  if (!Open(path, Mode::ReadOnly, &second)) return false;
  return true;
}

void RecordFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  readOnly_ = false;
  path_.clear();
}

bool RecordFile::Lock(LockKind kind, std::chrono::milliseconds wait, FileError* error) {
  if (!TakeLock(kind, wait, error)) return false;
  if (path_.empty() || !JournalExists(path_)) return true;
  if (RollBack(kind, wait, error)) return true;
  Unlock();
  return false;
}

bool RecordFile::RollBack(LockKind kind, std::chrono::milliseconds wait, FileError* error) {
  FileError why;
  if (readOnly_) {
    // Written through a second descriptor, whose exclusive lock rolls the
    // journal back; this one's lock is let go meanwhile.
    Unlock();
    RecordFile writable;
    writable.SetSystemCalls(calls_);
    Status mine, theirs;
    if (writable.Open(path_, Mode::Existing, &why) && Stat(mine, &why) &&
        writable.Stat(theirs, &why)) {
      if (mine.device != theirs.device || mine.inode != theirs.inode) {
        why = FileError{ESTALE, "the file was replaced meanwhile"};
      } else {
        // Its lock says why, when it fails.
        if (!writable.Lock(LockKind::Exclusive, wait, error)) return false;
        writable.Close();
        return TakeLock(kind, wait, error);
      }
    }
  } else if ((kind == LockKind::Exclusive || TakeLock(LockKind::Exclusive, wait, &why)) &&
             RollBackJournal(*this, &why) &&
             (kind == LockKind::Exclusive || TakeLock(kind, wait, &why))) {
    return true;
  }
  if (error) {
    *error = why.number == kErrorInUse
                 ? why
                 : FileError{why.number, "The data file " + path_ +
                                             " was left half written by a program that stopped, "
                                             "and its old records could not be put back from " +
                                             JournalPath(path_) + ": " + why.description};
  }
  return false;
}

bool RecordFile::TakeLock(LockKind kind, std::chrono::milliseconds wait, FileError* error) {
  if (fd_ < 0) return Fail(error, EBADF);
  const int operation = (kind == LockKind::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB;
  const auto deadline = std::chrono::steady_clock::now() + wait;
  auto pause = std::chrono::milliseconds(1);
  for (;;) {
    if (::flock(fd_, operation) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return Fail(error, errno);
    if (std::chrono::steady_clock::now() >= deadline) {
      if (error) *error = FileError{kErrorInUse, "The data file is in use by another program"};
      return false;
    }
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::milliseconds(20));
  }
}

void RecordFile::Unlock() {
  if (fd_ >= 0) ::flock(fd_, LOCK_UN);
}

bool RecordFile::Size(std::int64_t& bytes, FileError* error) const {
  struct stat st {};
  if (fd_ < 0) return Fail(error, EBADF);
  if (::fstat(fd_, &st) != 0) return Fail(error, errno);
  bytes = st.st_size;
  return true;
}

std::int64_t RecordFile::ReadRaw(std::int64_t n, std::uint8_t* buffer, std::int64_t count,
                                 FileError* error) const {
  if (n < 1) {
    Fail(error, EBADF);
    return -1;
  }
  const std::int64_t got = ReadSome((n - 1) * static_cast<std::int64_t>(kRecordLength), buffer,
                                    static_cast<std::size_t>(count) * kRecordLength, error);
  return got < 0 ? -1 : got / static_cast<std::int64_t>(kRecordLength);
}

std::int64_t RecordFile::ReadSome(std::int64_t offset, std::uint8_t* bytes, std::size_t count,
                                  FileError* error) const {
  if (fd_ < 0) {
    Fail(error, EBADF);
    return -1;
  }
  std::size_t got = 0;
  int interrupted = 0;
  while (got < count) {
    const ssize_t r = calls_->Pread(fd_, bytes + got, count - got,
                                    static_cast<off_t>(offset) + static_cast<off_t>(got));
    if (r < 0 && errno == EINTR) {
      // Try again, but not for ever.
      if (++interrupted < kStalledTries) continue;
      if (error) {
        *error = FileError{
            EIO, "The disk gave no data after " + std::to_string(kStalledTries) + " tries"};
      }
      return -1;
    }
    if (r < 0) {
      Fail(error, errno);
      return -1;
    }
    if (r == 0) break;
    interrupted = 0;
    got += static_cast<std::size_t>(r);
  }
  return static_cast<std::int64_t>(got);
}

bool RecordFile::ReadAt(std::int64_t offset, std::uint8_t* bytes, std::size_t count,
                        FileError* error) const {
  const std::int64_t got = ReadSome(offset, bytes, count, error);
  if (got < 0) return false;
  if (static_cast<std::size_t>(got) < count) return Fail(error, ENODATA);
  return true;
}

RecordFile::ReadResult RecordFile::Read(std::int64_t n, FigureRecord& record,
                                        FileError* error) const {
  RecordBytes bytes;
  const std::int64_t got = ReadRaw(n, bytes.data(), 1, error);
  if (got < 0) return ReadResult::Failed;
  if (got == 0) return ReadResult::EndOfFile;
  record = DecodeRecord(bytes.data());
  return ReadResult::Ok;
}

bool RecordFile::Write(std::int64_t n, const FigureRecord& record, FileError* error) {
  if (fd_ < 0) return Fail(error, EBADF);
  std::int64_t size = 0;
  if (!Size(size, error)) return false;
  // Records are written in place or appended one at a time: never a gap.
  if (n < 1 || n > size / static_cast<std::int64_t>(kRecordLength) + 1) return Fail(error, EINVAL);
  const RecordBytes bytes = EncodeRecord(record);
  return WriteRaw((n - 1) * static_cast<std::int64_t>(kRecordLength), bytes.data(), bytes.size(),
                  error);
}

bool RecordFile::WriteRaw(std::int64_t offset, const std::uint8_t* bytes, std::size_t count,
                          FileError* error) {
  if (fd_ < 0) return Fail(error, EBADF);
  if (readOnly_) return Fail(error, EBADF);
  return WriteInSteps(
      count,
      [&](std::size_t done) {
        return calls_->Pwrite(fd_, bytes + done, count - done,
                              static_cast<off_t>(offset) + static_cast<off_t>(done));
      },
      error);
}

bool RecordFile::Sync(FileError* error) {
  if (fd_ < 0) return Fail(error, EBADF);
  if (calls_->Fsync(fd_) != 0) return Fail(error, errno);
  return true;
}

bool RecordFile::Truncate(std::int64_t bytes, FileError* error) {
  if (fd_ < 0) return Fail(error, EBADF);
  if (readOnly_) return Fail(error, EBADF);
  if (calls_->Ftruncate(fd_, static_cast<off_t>(bytes)) != 0) return Fail(error, errno);
  return true;
}

bool RecordFile::Stat(Status& status, FileError* error) const {
  struct stat st {};
  if (fd_ < 0) return Fail(error, EBADF);
  if (::fstat(fd_, &st) != 0) return Fail(error, errno);
  status.size = st.st_size;
  status.device = st.st_dev;
  status.inode = st.st_ino;
  status.writeBits = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
  status.permissions = st.st_mode & 0777;
  return true;
}

}  // namespace zandorik
