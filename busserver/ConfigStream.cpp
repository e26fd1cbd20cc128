// The configuration packet is only ever written by the configurator, so anything that does not
// decode exactly is garbage: it is skipped up to the next byte that could start a packet.
#include "busserver/ConfigStream.h"

#include <algorithm>

#include "buslink/ConfigPacket.h"

namespace lumetra::busserver {

namespace {

void AppendUtf8(std::string& out, char16_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// A UTF-16LE text of at most `chars` characters, NUL-terminated inside its field, zero after the
// terminator; surrogates and control characters make it invalid.
bool DecodeText(const uint8_t* field, size_t fieldBytes, size_t chars, std::string& out) {
  out.clear();
  bool ended = false;
  for (size_t i = 0; i + 1 < fieldBytes; i += 2) {
    const char16_t c = static_cast<char16_t>(field[i] | (field[i + 1] << 8));
    if (ended) {
      if (c != 0) return false;
      continue;
    }
    if (c == 0) {
      ended = true;
      continue;
    }
    if (i / 2 >= chars || c < 0x20 || (c >= 0xD800 && c <= 0xDFFF)) return false;
    AppendUtf8(out, c);
  }
  return ended;
}

bool AllZero(const uint8_t* p, size_t n) {
  return std::all_of(p, p + n, [](uint8_t b) { return b == 0; });
}

constexpr size_t kIpFieldBytes = kConfigPortOffset - kConfigIpOffset;
constexpr size_t kSerialFieldBytes = kConfigInterfaceOffset - kConfigSerialOffset;

}  // namespace

std::string ConfigInfo::Describe() const {
  if (interfaceIndex == kInterfaceUsb) return "USB / DALI, port " + serialPort;
  return "WiFi / DALI, " + ipAddress + ":" + std::to_string(port);
}

bool DecodeConfigPacket(const uint8_t* p, ConfigInfo& info) {
  info = ConfigInfo{};
  if (p[0] != 1) return false;
  const uint8_t interfaceIndex = p[kConfigInterfaceOffset];
  if (interfaceIndex == kInterfaceUsb) {
    info.interfaceIndex = kInterfaceUsb;
    return AllZero(p + kConfigIpOffset, kConfigSerialOffset - kConfigIpOffset) &&
           DecodeText(p + kConfigSerialOffset, kSerialFieldBytes, kConfigSerialChars,
                      info.serialPort);
  }
  if (interfaceIndex == kInterfaceWifi) {
    info.interfaceIndex = kInterfaceWifi;
    info.port = static_cast<uint16_t>(p[kConfigPortOffset] | (p[kConfigPortOffset + 1] << 8));
    return AllZero(p + kConfigSerialOffset, kSerialFieldBytes) &&
           DecodeText(p + kConfigIpOffset, kIpFieldBytes, kConfigIpChars, info.ipAddress);
  }
  return false;
}

std::vector<ConfigStream::Event> ConfigStream::Feed(const uint8_t* data, size_t size) {
  std::vector<Event> events;
  buffer_.insert(buffer_.end(), data, data + size);
  size_t start = 0;
  size_t skipped = 0;
  auto flushSkipped = [&] {
    if (skipped > 0) events.push_back({false, {}, skipped});
    skipped = 0;
  };
  while (start < buffer_.size()) {
    if (buffer_[start] != 1) {
      ++start;
      ++skipped;
      continue;
    }
    if (buffer_.size() - start < kConfigPacketSize) break;
    ConfigInfo info;
    if (DecodeConfigPacket(buffer_.data() + start, info)) {
      flushSkipped();
      events.push_back({true, std::move(info), 0});
      start += kConfigPacketSize;
    } else {
      ++start;
      ++skipped;
    }
  }
  flushSkipped();
  buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(start));
  return events;
}

}  // namespace lumetra::busserver
