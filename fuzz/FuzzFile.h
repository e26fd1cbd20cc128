// The loaders of the program's files read from a path: the fuzz targets hand them their input in
// a file of their own, one per process.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace lumetra::fuzz {

// A path in /tmp for this process, removed when the run ends (libFuzzer ends with exit()).
inline std::string ScratchFile(const char* name) {
  static std::vector<std::string> paths;
  if (paths.empty()) {
    std::atexit([] {
      for (const std::string& p : paths) std::remove(p.c_str());
    });
  }
  paths.push_back("/tmp/lumetra-fuzz-" + std::to_string(::getpid()) + "-" + name);
  return paths.back();
}

inline void WriteFile(const std::string& path, const void* data, size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  if (size != 0 && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);
}

}  // namespace lumetra::fuzz
