// The configuration packet, the channel endpoints and the patient connect of a fresh bus server.
#include "buslink/ConfigPacket.h"

#include <thread>

#include "buslink/TcpClient.h"
#include "model/Error.h"
#include "model/Utf.h"

namespace lumetra {

namespace {

// Copies text as UTF-16LE into the packet; the field's remaining bytes (NUL included) stay zero.
void PutUtf16(ConfigPacket& packet, size_t offset, const std::u16string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    packet[offset + 2 * i] = static_cast<uint8_t>(text[i] & 0xFF);
    packet[offset + 2 * i + 1] = static_cast<uint8_t>(text[i] >> 8);
  }
}

}  // namespace

uint16_t PortValue(const std::string& text) {
  unsigned long value = 0;
  size_t i = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + static_cast<unsigned long>(text[i] - '0');
    if (value > 65535) throw Error("Port " + text + " je mimo rozsahu 0 až 65535");
  }
  return static_cast<uint16_t>(value);
}

ConfigPacket BuildConfigPacket(int interfaceIndex, const std::string& serialPort,
                               const std::string& ipText, const std::string& portText) {
  ConfigPacket packet{};
  packet[0] = 1;
  if (interfaceIndex == kInterfaceUsb) {
    const std::u16string name = Utf8ToUtf16(serialPort);
    if (name.size() > kConfigSerialChars) {
      throw Error("Názov sériového portu \"" + serialPort + "\" je dlhší ako " +
                  std::to_string(kConfigSerialChars) + " znakov");
    }
    PutUtf16(packet, kConfigSerialOffset, name);
    packet[kConfigInterfaceOffset] = 0;
  } else {
    const std::u16string ip = Utf8ToUtf16(ipText);
    if (ip.size() > kConfigIpChars) {
      throw Error("IP adresa \"" + ipText + "\" je dlhšia ako " + std::to_string(kConfigIpChars) +
                  " znakov");
    }
    const uint16_t port = PortValue(portText);
    PutUtf16(packet, kConfigIpOffset, ip);
    packet[kConfigPortOffset] = static_cast<uint8_t>(port & 0xFF);
    packet[kConfigPortOffset + 1] = static_cast<uint8_t>(port >> 8);
    packet[kConfigInterfaceOffset] = 1;
  }
  return packet;
}

Endpoint ChannelEndpoint(int interfaceIndex, const std::string& ipText, const std::string& portText,
                         uint16_t channel, uint16_t serverPortBase) {
  if (interfaceIndex == kInterfaceControlUnit) {
    return {ipText, static_cast<uint16_t>(PortValue(portText) + channel)};
  }
  return {kBusServerHost, static_cast<uint16_t>(serverPortBase + channel)};
}

void ConnectPatiently(TcpClient& client, std::chrono::milliseconds patience,
                      std::chrono::milliseconds interval) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  for (;;) {
    try {
      client.Connect();
      return;
    } catch (const Error&) {
      if (std::chrono::steady_clock::now() >= deadline) throw;
    }
    std::this_thread::sleep_for(interval);
  }
}

}  // namespace lumetra
