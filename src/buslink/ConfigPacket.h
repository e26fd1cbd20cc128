// What the program sends the bus server and where it finds the three channels of the bus server
// and of a control unit.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

namespace lumetra {

class TcpClient;

// Items of RadioGroupInterface.
inline constexpr int kInterfaceUsb = 0;          // "USB / DALI"
inline constexpr int kInterfaceWifi = 1;         // "WiFi / DALI"
inline constexpr int kInterfaceControlUnit = 2;  // "Riadiaca jednotka"

inline constexpr const char* kBusServerHost = "127.0.0.1";
inline constexpr uint16_t kBusServerPortBase = 50000;
// Offsets from the base port: configuration, gate, monitor.
inline constexpr uint16_t kConfigChannel = 0;
inline constexpr uint16_t kGateChannel = 1;
inline constexpr uint16_t kMonitorChannel = 2;

inline constexpr size_t kConfigPacketSize = 52;
inline constexpr size_t kConfigIpOffset = 1;
inline constexpr size_t kConfigIpChars = 16;
inline constexpr size_t kConfigPortOffset = 35;
inline constexpr size_t kConfigSerialOffset = 37;
inline constexpr size_t kConfigSerialChars = 6;
inline constexpr size_t kConfigInterfaceOffset = 51;

using ConfigPacket = std::array<uint8_t, kConfigPacketSize>;

// The value of a port edit: its leading decimal digits, 0 when it has none. Throws Error when the
// digits exceed 65535, rather than reaching some other port by truncation.
uint16_t PortValue(const std::string& text);

// The 52-byte configuration packet for "USB / DALI" (serial port name) or "WiFi / DALI" (IP text
// and port text). Throws Error, and builds nothing, when a name does not fit its field.
ConfigPacket BuildConfigPacket(int interfaceIndex, const std::string& serialPort,
                               const std::string& ipText, const std::string& portText);

struct Endpoint {
  std::string host;
  uint16_t port = 0;
};

// Where a channel is: the bus server for the interfaces 0 and 1, the entered address and port +
// offset (16-bit wrap) for the control unit. `serverPortBase` is the bus server's configuration
// port.
Endpoint ChannelEndpoint(int interfaceIndex, const std::string& ipText, const std::string& portText,
                         uint16_t channel, uint16_t serverPortBase = kBusServerPortBase);

// Connects, trying again every `interval` until `patience` has passed; then the last connect error
// is thrown. A freshly started bus server needs a moment before it listens.
void ConnectPatiently(TcpClient& client, std::chrono::milliseconds patience,
                      std::chrono::milliseconds interval = std::chrono::milliseconds(10));

}  // namespace lumetra
