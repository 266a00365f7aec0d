#include "store/record_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace zandorik {
namespace {

bool Fail(FileError* error, int number) {
  if (error) *error = FileError{number, std::strerror(number)};
  return false;
}

}  // namespace

RecordFile::~RecordFile() {
  Close();
}

bool RecordFile::Open(const std::string& path, Mode mode, FileError* error) {
  Close();
  // Without waiting for a FIFO's writer; anything but a regular file is
  // refused before a byte is read.
  const int flags = mode == Mode::ReadWrite ? (O_RDWR | O_CREAT) : O_RDONLY;
  const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0644);
  if (fd < 0) return Fail(error, errno);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int number = errno;
    ::close(fd);
    if (S_ISDIR(st.st_mode)) return Fail(error, EISDIR);
    if (error) *error = FileError{S_ISREG(st.st_mode) ? number : EINVAL, "Not a regular file"};
    return false;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  fd_ = fd;
  return true;
}

void RecordFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
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
  if (fd_ < 0 || n < 1) {
    Fail(error, EBADF);
    return -1;
  }
  const auto want = static_cast<std::size_t>(count) * kRecordLength;
  std::size_t got = 0;
  off_t offset = static_cast<off_t>((n - 1) * static_cast<std::int64_t>(kRecordLength));
  while (got < want) {
    const ssize_t r = ::pread(fd_, buffer + got, want - got, offset + static_cast<off_t>(got));
    if (r < 0) {
      if (errno == EINTR) continue;
      Fail(error, errno);
      return -1;
    }
    if (r == 0) break;
    got += static_cast<std::size_t>(r);
  }
  return static_cast<std::int64_t>(got / kRecordLength);
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
  std::size_t done = 0;
  while (done < count) {
    const ssize_t w = ::pwrite(fd_, bytes + done, count - done,
                               static_cast<off_t>(offset) + static_cast<off_t>(done));
    if (w < 0) {
      if (errno == EINTR) continue;
      return Fail(error, errno);
    }
    done += static_cast<std::size_t>(w);
  }
  return true;
}

bool RecordFile::Sync(FileError* error) {
  if (fd_ < 0) return Fail(error, EBADF);
  if (::fsync(fd_) != 0) return Fail(error, errno);
  return true;
}

bool RecordFile::Truncate(std::int64_t bytes, FileError* error) {
  if (fd_ < 0) return Fail(error, EBADF);
  if (::ftruncate(fd_, static_cast<off_t>(bytes)) != 0) return Fail(error, errno);
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
  return true;
}

}  // namespace zandorik
