// Writing a file by replacement: temporary file, fsync, rename.
#include "documents/ReplacingFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "model/Error.h"

namespace lumetra {

ReplacingFile::ReplacingFile(std::string path, std::string failure)
    : path_(std::move(path)), failure_(std::move(failure)) {
  // Beside the target, so that the rename stays on one file system and is atomic; the counter
  // keeps two saves of one process (the worker's and the window's) apart.
  static std::atomic<unsigned> counter{0};
  temp_ = path_ + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
  fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd_ < 0) Fail(errno);
}

ReplacingFile::~ReplacingFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_) ::unlink(temp_.c_str());
}

void ReplacingFile::Fail(int err) const {
  throw Error(failure_ + " (" + SystemErrorText(err) + ")");
}

void ReplacingFile::Write(std::string_view data) {
  const char* p = data.data();
  size_t size = data.size();
  while (size > 0) {
    const ssize_t n = ::write(fd_, p, size);
    if (n < 0 && errno == EINTR) continue;
    // A write that stores nothing without an error is a full disk by another name.
    if (n <= 0) Fail(n < 0 ? errno : ENOSPC);
    p += n;
    size -= static_cast<size_t>(n);
  }
}

void ReplacingFile::Commit() {
  if (::fsync(fd_) != 0) Fail(errno);
  const int rc = ::close(fd_);
  fd_ = -1;
  if (rc != 0) Fail(errno);
  if (::rename(temp_.c_str(), path_.c_str()) != 0) Fail(errno);
  committed_ = true;
  // The rename itself reaches the disk only with the folder's own entry. The file is already in
  // place at this point, so a folder that refuses the flush is no reason to report a failed save.
  const size_t slash = path_.rfind('/');
  const std::string folder =
      slash == std::string::npos ? std::string(".") : path_.substr(0, slash == 0 ? 1 : slash);
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

void ReplaceFileContent(const std::string& path, std::string_view content,
                        const std::string& failure) {
  ReplacingFile file(path, failure);
  file.Write(content);
  file.Commit();
}

std::string WithExtension(const std::string& chosen, std::string_view extension) {
  // The rule is for the file's own name: a folder called "old.dcf" on the way must not make every
  // file in it "plan.dcf.dcf".
  const size_t slash = chosen.rfind('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const size_t first = chosen.find(extension, nameStart);
  if (first != std::string::npos && first + extension.size() == chosen.size()) return chosen;
  return chosen + std::string(extension);
}

}  // namespace lumetra
