// A simulated line behind a real loopback gate, the two tables and a worker, for commissioning
// tests: every request the worker sends is in the peer's log, byte for byte.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "buslink/DaliCom.h"
#include "buslink/TcpClient.h"
#include "commissioning/GateThread.h"
#include "model/BalastConfig.h"
#include "model/ControllerConfig.h"
#include "sim/SimulatedLine.h"
#include "support/LoopbackPeer.h"

namespace lumetra::test {

// Records what the worker shows, as the progress view would.
class RecordingProgress : public TProgressView {
 public:
  bool IsShown() const override { return shown; }
  void SetMessage(const std::string& text) override {
    message = text;
    messages.push_back(text);
  }
  std::string GetMessage() const override { return message; }
  void ShowCounts() override {
    ++counts;
    if (gearTable) gearCountsShown.push_back(gearTable->UsedSlotCount());
  }
  void MarkGearAddress(int a) override { gearMarks.push_back(a); }
  void MarkGearFound() override { gearFound.push_back(gearMarks.empty() ? -1 : gearMarks.back()); }
  void MarkDeviceAddress(int a) override { deviceMarks.push_back(a); }
  void MarkDeviceFound() override {
    deviceFound.push_back(deviceMarks.empty() ? -1 : deviceMarks.back());
  }

  bool shown = true;
  std::string message;
  std::vector<std::string> messages;
  int counts = 0;
  // When set, what the gear count label would show at each ShowCounts.
  const TConfig* gearTable = nullptr;
  std::vector<int> gearCountsShown;
  std::vector<int> gearMarks, gearFound, deviceMarks, deviceFound;
};

inline Frame GearWire(uint8_t address, uint8_t data) { return Wire(3, 0, address, data); }
inline Frame DeviceWire(uint8_t address, uint8_t opcode, uint8_t value) {
  return Wire(4, address, opcode, value);
}

class CommissioningFixture : public ::testing::Test {
 protected:
  // Puts `description` on the line and connects the worker to it.
  void Build(const sim::LineDescription& description, uint64_t seed = 7) {
    line = std::make_unique<sim::SimulatedLine>(description, seed);
    peer.SetResponder([this](const Frame& request) -> std::optional<Frame> {
      const sim::Frame reply = line->Exchange(request).reply;
      if (afterRequest) afterRequest(request);
      return Frame(reply);
    });
    com.CreateLock();
    com.SetReplyTimeout(std::chrono::milliseconds(300));
    client.SetHost("127.0.0.1");
    client.SetPort(peer.Port());
    client.Connect();
    com.SetClient(&client);
    worker.SetDaliCom(&com);
    worker.SetConfigs(&gear, &devices);
    worker.SetViews(nullptr, &progress);
    worker.SetPause(
        [this](std::chrono::milliseconds ms) { pauses += static_cast<int>(ms.count()); });
  }

  void RunJob(int job) {
    worker.SetJob(job);
    worker.Pass();
  }

  static sim::GearDescription GearAt(uint8_t shortAddress) {
    sim::GearDescription g;
    g.shortAddress = shortAddress;
    return g;
  }
  static sim::DeviceDescription DeviceAt(uint8_t shortAddress, uint8_t kind, uint8_t major = 1,
                                         uint8_t minor = 5) {
    sim::DeviceDescription d;
    d.shortAddress = shortAddress;
    d.kind = kind;
    d.versionMajor = major;
    d.versionMinor = minor;
    return d;
  }

  // Requests from `from` on, as they went out.
  std::vector<Frame> Sent(size_t from = 0) const {
    const auto all = peer.Requests();
    return {all.begin() + static_cast<long>(std::min(from, all.size())), all.end()};
  }

  LoopbackPeer peer;
  std::unique_ptr<sim::SimulatedLine> line;
  std::function<void(const Frame&)> afterRequest;
  TcpClient client;
  TDaliCom com;
  TBalastConfig gear;
  TControllerConfig devices;
  RecordingProgress progress;
  TGateThread worker;
  int pauses = 0;
};

}  // namespace lumetra::test
