// The version texts of the running program, read from its version block by their standard keys.
#pragma once

#include <cstddef>
#include <string>

namespace lumetra {

struct VersionEntry {
  const char* path;  // "\StringFileInfo\041b04e2\FileVersion", "\VarFileInfo\Translation"
  const char* value;
};

struct VersionBlock {
  const VersionEntry* entries = nullptr;
  size_t count = 0;
};

// The block built into this program.
const VersionBlock* ProgramVersionBlock();

class TVersionInfo {
 public:
  // Reads `block` (the program's own by default). Never fails: whatever is missing stays empty, and
  // without a translation nothing is read at all.
  explicit TVersionInfo(const VersionBlock* block = ProgramVersionBlock());

  bool Read() const { return read_; }

  std::string CompanyName;
  std::string FileDescription;
  std::string FileVersion;
  std::string InternalName;
  std::string LegalCopyright;
  std::string LegalTrademarks;
  std::string OriginalFilename;
  std::string ProductName;
  std::string ProductVersion;
  std::string Comments;

 private:
  bool read_ = false;
};

// What the about box shows, as lines of text: the product name, then "Verzia" and the file
// version, then the copyright when there is one. Every program of the product answers --version
// with it.
std::string VersionText(const TVersionInfo& info = TVersionInfo());

}  // namespace lumetra
