// The one way the program writes a file (document, settings, record file): beside the target under
// a temporary name, flushed to disk, then renamed over it.
#pragma once

#include <string>
#include <string_view>

namespace lumetra {

// A file being written in place of `path`. Nothing at `path` changes until Commit has flushed the
// whole content and renamed it over the old file, so a full disk or a folder that cannot be
// written never leaves a truncated file behind. Every failure throws Error with
// `failure` followed by the Slovak reason in parentheses; the temporary file is then removed.
class ReplacingFile {
 public:
  ReplacingFile(std::string path, std::string failure);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  void Write(std::string_view data);
  void Commit();

 private:
  [[noreturn]] void Fail(int err) const;

  std::string path_;
  std::string temp_;
  std::string failure_;
  int fd_ = -1;
  bool committed_ = false;
};

// Writes `content` as the whole of `path` through a ReplacingFile.
void ReplaceFileContent(const std::string& path, std::string_view content,
                        const std::string& failure);

// `chosen` with `extension` appended, unless the first occurrence of `extension` in the file's own
// name (after the last '/'; compared case-sensitively) stands at its very end.
std::string WithExtension(const std::string& chosen, std::string_view extension);

}  // namespace lumetra
