// Reading the version texts: the first translation names the string table, the keys its entries.
#include "ui/VersionInfo.h"

#include <cstring>
#include <iterator>

#include "ui/VersionBlock.h"

namespace lumetra {

namespace {

const char* Query(const VersionBlock& block, const std::string& path) {
  for (size_t i = 0; i < block.count; ++i) {
    if (path == block.entries[i].path) return block.entries[i].value;
  }
  return nullptr;
}

}  // namespace

const VersionBlock* ProgramVersionBlock() { return &kProgramVersionBlock; }

TVersionInfo::TVersionInfo(const VersionBlock* block) {
  if (block == nullptr || block->count == 0) return;
  const char* translation = Query(*block, "\\VarFileInfo\\Translation");
  // The first pair: four hex digits of language, four of code page.
  if (translation == nullptr || std::strlen(translation) < 8) return;
  const std::string prefix = "\\StringFileInfo\\" + std::string(translation, 8) + "\\";
  const struct {
    const char* key;
    std::string* field;
  } keys[] = {
      {"CompanyName", &CompanyName},           {"FileDescription", &FileDescription},
      {"FileVersion", &FileVersion},           {"InternalName", &InternalName},
      {"LegalCopyright", &LegalCopyright},     {"LegalTrademarks", &LegalTrademarks},
      {"OriginalFilename", &OriginalFilename}, {"ProductName", &ProductName},
      {"ProductVersion", &ProductVersion},     {"Comments", &Comments},
  };
  for (const auto& k : keys) {
    if (const char* value = Query(*block, prefix + k.key)) *k.field = value;
  }
  read_ = true;
}

std::string VersionText(const TVersionInfo& info) {
  std::string text = info.ProductName + "\n" + "Verzia " + info.FileVersion + "\n";
  if (!info.LegalCopyright.empty()) text += info.LegalCopyright + "\n";
  return text;
}

}  // namespace lumetra
