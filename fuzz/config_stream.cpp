// Fuzz target: the configuration channel of the bus server. The stream is fed in pieces (sizes
// from the input's first byte); every byte ends up in exactly one packet or one skipped run, and
// the pieces give the same events as the whole stream fed at once.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "busserver/ConfigStream.h"

using lumetra::busserver::ConfigStream;

namespace {

std::vector<ConfigStream::Event> Feed(const uint8_t* data, size_t size, size_t piece,
                                      size_t& pending) {
  ConfigStream stream;
  std::vector<ConfigStream::Event> events;
  for (size_t at = 0; at < size; at += piece) {
    const size_t n = std::min(piece, size - at);
    for (auto& e : stream.Feed(data + at, n)) events.push_back(std::move(e));
  }
  pending = stream.Pending();
  return events;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t piece = data[0] % 60 + 1;
  ++data;
  --size;
  size_t pendingWhole = 0;
  size_t pendingPieces = 0;
  const auto whole = Feed(data, size, size + 1, pendingWhole);
  const auto pieces = Feed(data, size, piece, pendingPieces);
  size_t accounted = pendingPieces;
  for (const auto& e : pieces) {
    if (e.packet) {
      accounted += 52;
      if (e.info.interfaceIndex != 0 && e.info.interfaceIndex != 1) std::abort();
    } else {
      if (e.skippedBytes == 0) std::abort();
      accounted += e.skippedBytes;
    }
  }
  if (accounted != size) std::abort();
  // Packets are the same whichever way the bytes came; skipped runs may be reported in parts.
  std::vector<lumetra::busserver::ConfigInfo> a;
  std::vector<lumetra::busserver::ConfigInfo> b;
  for (const auto& e : whole) {
    if (e.packet) a.push_back(e.info);
  }
  for (const auto& e : pieces) {
    if (e.packet) b.push_back(e.info);
  }
  if (a != b || pendingWhole != pendingPieces) std::abort();
  return 0;
}
