// The editors' sequences in-process: a simulated line behind a loopback gate, one bus session over
// it and both tables. The peer's log holds every request byte for byte as it went out.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <vector>

#include "buslink/BusSession.h"
#include "buslink/DaliCom.h"
#include "buslink/TcpClient.h"
#include "model/BalastConfig.h"
#include "model/ControllerConfig.h"
#include "sim/SimulatedLine.h"
#include "support/KindRecords.h"
#include "support/LoopbackPeer.h"

namespace lumetra::test {

inline Frame Gear(uint8_t address, uint8_t data) { return Wire(3, 0, address, data); }
// A control device request: address byte, opcode, parameter.
inline Frame DeviceRequest(uint8_t address, uint8_t opcode, uint8_t parameter) {
  return Wire(4, address, opcode, parameter);
}
inline std::vector<Frame> Twice(const Frame& frame) { return {frame, frame}; }
inline std::vector<Frame> Twice(uint8_t address, uint8_t data) {
  return Twice(Gear(address, data));
}
// DTR, then the configuration command twice: what every stored value costs.
inline std::vector<Frame> Store(uint8_t address, uint8_t opcode, uint8_t value) {
  return {Gear(0xA3, value), Gear(address, opcode), Gear(address, opcode)};
}
inline std::vector<Frame>& operator+=(std::vector<Frame>& a, const std::vector<Frame>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

inline sim::GearDescription GearAt(uint8_t a, uint16_t groups = 0) {
  sim::GearDescription g;
  g.shortAddress = a;
  g.groups = groups;
  g.minLevel = 10;
  return g;
}

class SequenceLine {
  // Before the peer, whose thread answers from them until the peer is gone.
  mutable std::mutex mutex_;
  std::unique_ptr<sim::SimulatedLine> line_;
  int answered_ = 0;
  int silentAt_ = -1;

 public:
  // The reply timeout for a request the gate leaves unanswered. Short, as every wait costs, but
  // long enough that a peer which closes the gate instead is heard closing it on a loaded machine:
  // with 40 ms a lost gate was now and then taken for a silent one.
  static constexpr std::chrono::milliseconds kReplyTimeout{250};

  explicit SequenceLine(const sim::LineDescription& description)
      : line_(std::make_unique<sim::SimulatedLine>(description)) {
    peer.SetResponder([this](const Frame& request) -> std::optional<Frame> {
      std::lock_guard lock(mutex_);
      if (++answered_ == silentAt_) return std::nullopt;
      return line_->Exchange(request).reply;
    });
    com.CreateLock();
    com.SetReplyTimeout(kReplyTimeout);
    client.SetHost("127.0.0.1");
    client.SetPort(peer.Port());
    client.Connect();
    com.SetClient(&client);
  }

  // Request n (1 = the next one) closes the gate instead of being answered: the line never hears
  // it and the exchange reports the connection lost.
  void LoseRequest(int n) { peer.CloseAfter(n); }
  // Request n reaches neither the line nor an answer: the exchange waits and reports no reply.
  void SilenceRequest(int n) {
    std::lock_guard lock(mutex_);
    silentAt_ = answered_ + n;
  }

  std::vector<Frame> Sent() const { return peer.Requests(); }

  // A copy of the line's gear at short address a (the peer's thread changes the original).
  sim::ControlGear GearUnit(uint8_t a) const {
    std::lock_guard lock(mutex_);
    for (const sim::ControlGear& g : line_->Gear())
      if (g.shortAddress == a) return g;
    ADD_FAILURE() << "no gear at " << int(a);
    return line_->Gear().front();
  }
  sim::ControlGear GearByIndex(size_t i) const {
    std::lock_guard lock(mutex_);
    return line_->Gear().at(i);
  }
  sim::ControlDevice DeviceUnit(uint8_t a) const {
    std::lock_guard lock(mutex_);
    for (const sim::ControlDevice& d : line_->Devices())
      if (d.shortAddress == a) return d;
    ADD_FAILURE() << "no device at " << int(a);
    return line_->Devices().front();
  }

  // A gear slot as read from a device: groups from `groups`, levels 100..104, fades 3 and 4, no
  // scenes, arc levels shown.
  void AddGearSlot(uint8_t a, uint16_t groups = 0) {
    gear.SetPercentMode(0);
    gear.SetCurrentSlot(a);
    gear.SetShortAddress(a);
    for (uint32_t g = 0; g < 16; ++g) gear.SetGroups(g, (groups >> g) & 1);
    gear.SetActualLevel(100);
    gear.SetMinLevel(101);
    gear.SetMaxLevel(102);
    gear.SetPowerOnLevel(103);
    gear.SetFailureLevel(104);
    gear.SetFadeRate(3);
    gear.SetFadeTime(4);
    for (uint32_t s = 0; s < 16; ++s) gear.SetScenes(s, 255);
  }
  // Group g (TConfig::kAllDevices: every device), as the grid's group button selects it.
  void SelectGroup(uint8_t g) {
    gear.SetCurrentGroup(g);
    gear.SetCurrentSlot(TConfig::kGroupSlot);
    gear.ClearScratchSlot();
  }

  LoopbackPeer peer;
  TcpClient client;
  TDaliCom com;
  BusSession session{&com};
  TBalastConfig gear;
  TControllerConfig devices;
};

}  // namespace lumetra::test
