// LumetraDaliBusServer over loopback: how many gate requests it answers per second without bus
// timing (against a bare in-process peer as the baseline), and how closely its "dali" timing keeps
// to the modelled bus time.
#include <benchmark/benchmark.h>
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include "ServerProcess.h"
#include "buslink/ConfigPacket.h"
#include "buslink/TcpClient.h"
#include "support/LoopbackPeer.h"

namespace {

using lumetra::TcpClient;
using lumetra::test::ServerProcess;

void Connect(TcpClient& client, uint16_t port) {
  client.SetHost("127.0.0.1");
  client.SetPort(port);
  client.Connect();
}

// One request and its reply, as TDaliCom puts them on the gate connection.
void RoundTrip(TcpClient& gate, uint8_t address, uint8_t opcode) {
  uint8_t request[5] = {0x83, 0, address, opcode, 0};
  request[4] = request[0] ^ request[1] ^ request[2] ^ request[3];
  uint8_t reply[5];
  gate.Write(request, sizeof request);
  gate.ReadExact(reply, sizeof reply);
  benchmark::DoNotOptimize(reply);
}

// Baseline: a peer in this process that answers every request at once.
void BM_GateRoundTrip_BarePeer(benchmark::State& state) {
  lumetra::test::LoopbackPeer peer;
  TcpClient gate;
  Connect(gate, peer.Port());
  for (auto _ : state) RoundTrip(gate, 0x01, 0x91);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GateRoundTrip_BarePeer)->MinTime(2.0)->UseRealTime();

// The server with the demo line, --timing none; target at least 20 000 requests/s.
void BM_GateRoundTrip_BusServer(benchmark::State& state) {
  auto server = ServerProcess::StartListening({"--timing", "none"});
  TcpClient gate;
  Connect(gate, static_cast<uint16_t>(server->Base() + lumetra::kGateChannel));
  for (auto _ : state) RoundTrip(gate, 0x01, 0x91);  // QUERY BALAST, answered
  state.SetItemsProcessed(state.iterations());
  state.counters["requests_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GateRoundTrip_BusServer)->MinTime(2.0)->UseRealTime();

// 1000 exchanges with --timing dali: the wall time against the server's own modelled total.
void BM_DaliTimingAccuracy(benchmark::State& state) {
  for (auto _ : state) {
    auto server = ServerProcess::StartListening({"--timing", "dali"});
    TcpClient gate;
    Connect(gate, static_cast<uint16_t>(server->Base() + lumetra::kGateChannel));
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 1000; ++i) {
      // Commands, answered and unanswered queries: every kind of exchange timing.
      static constexpr uint8_t kMix[][2] = {{0x01, 0x05}, {0x01, 0xA0}, {0x7F, 0x91}};
      RoundTrip(gate, kMix[i % 3][0], kMix[i % 3][1]);
    }
    const double wallMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    server->Signal(SIGTERM);
    server->Wait();
    const std::string out = server->Output();
    const std::string key = "Modelovaný čas zbernice: ";
    const size_t at = out.rfind(key);
    if (at == std::string::npos) {
      state.SkipWithError("the server did not report its bus time");
      return;
    }
    const double modelledMs = std::strtod(out.c_str() + at + key.size(), nullptr);
    state.SetIterationTime(wallMs / 1000.0);
    state.counters["wall_ms"] = wallMs;
    state.counters["modelled_ms"] = modelledMs;
    state.counters["deviation_pct"] = 100.0 * (wallMs - modelledMs) / modelledMs;
  }
}
BENCHMARK(BM_DaliTimingAccuracy)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
