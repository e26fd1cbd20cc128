// Decoding of the configuration channel: 52-byte packets naming the interface the configurator
// chose, found in a byte stream that may also carry garbage.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumetra::busserver {

struct ConfigInfo {
  int interfaceIndex = 0;  // 0 "USB / DALI", 1 "WiFi / DALI"
  std::string serialPort;  // USB
  std::string ipAddress;   // WiFi
  uint16_t port = 0;       // WiFi

  bool operator==(const ConfigInfo&) const = default;
  // "USB / DALI, port COM3" or "WiFi / DALI, 192.168.0.150:50000".
  std::string Describe() const;
};

class ConfigStream {
 public:
  struct Event {
    bool packet = false;
    ConfigInfo info;          // when packet
    size_t skippedBytes = 0;  // when not packet: bytes that were no packet
  };

  // Takes the bytes that arrived and returns what they completed, in order.
  std::vector<Event> Feed(const uint8_t* data, size_t size);
  // Bytes held back while they may still become a packet.
  size_t Pending() const { return buffer_.size(); }

 private:
  std::vector<uint8_t> buffer_;
};

// Decodes one packet; false when the bytes are not a well-formed packet.
bool DecodeConfigPacket(const uint8_t* packet, ConfigInfo& info);

}  // namespace lumetra::busserver
