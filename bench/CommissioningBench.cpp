// Commissioning against the bus server: how much wall time a job takes beyond the bus time its
// frames need (with real DALI timing), how many exchanges per second a whole job makes without
// timing, and how many frames the search spends per addressed gear against a naive search.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>

#include "ServerProcess.h"
#include "ThreadBridge.h"
#include "buslink/ConfigPacket.h"
#include "buslink/DaliCom.h"
#include "buslink/TcpClient.h"
#include "commissioning/GateThread.h"
#include "model/BalastConfig.h"
#include "model/ControllerConfig.h"
#include "model/UiBridge.h"
#include "sim/DaliTiming.h"
#include "sim/SimulatedLine.h"
#include "support/LoopbackPeer.h"

namespace {

using namespace lumetra;
using test::ServerProcess;

using bench::ThreadBridge;

// A line of `gear` control gear and `devices` motion sensors, none with a short address.
std::string WriteLine(int gear, int devices) {
  char path[] = "/tmp/lumetra-bench-line-XXXXXX";
  const int fd = mkstemp(path);
  close(fd);
  std::ofstream out(path);
  out << "<daliline name=\"bench\">\n";
  for (int i = 0; i < gear; ++i) out << "  <gear short=\"none\" type=\"6\"/>\n";
  for (int i = 0; i < devices; ++i)
    out << "  <device short=\"none\" kind=\"131\" version=\"1.005\"/>\n";
  out << "</daliline>\n";
  return path;
}

double ModelledMs(ServerProcess& server) {
  server.Signal(SIGTERM);
  server.Wait();
  const std::string out = server.Output();
  const std::string key = "Modelovaný čas zbernice: ";
  const size_t at = out.rfind(key);
  return at == std::string::npos ? -1 : std::strtod(out.c_str() + at + key.size(), nullptr);
}

struct JobRun {
  double wallMs = 0;
  double pausedMs = 0;
  int pauses = 0;
  int gear = 0;
  int devices = 0;
};

// A gate connection to a loopback port and the exchange over it.
struct GateLink {
  explicit GateLink(uint16_t port) {
    client.SetHost("127.0.0.1");
    client.SetPort(port);
    client.Connect();
    com.CreateLock();
    com.SetClient(&client);
  }
  TcpClient client;
  TDaliCom com;
};

JobRun RunReaddressAll(uint16_t gatePort) {
  GateLink link(gatePort);
  TBalastConfig gear;
  TControllerConfig devices;
  ThreadBridge bridge;
  TGateThread worker;
  JobRun run;
  worker.SetDaliCom(&link.com);
  worker.SetConfigs(&gear, &devices);
  worker.SetBridge(&bridge);
  worker.SetPause([&](std::chrono::milliseconds ms) {
    run.pausedMs += static_cast<double>(ms.count());
    ++run.pauses;
    std::this_thread::sleep_for(ms);
  });
  const auto start = std::chrono::steady_clock::now();
  worker.SetJob(0x33);
  worker.Pass();
  run.wallMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  run.gear = gear.UsedSlotCount();
  run.devices = devices.UsedSlotCount();
  return run;
}

// "Preadresovať všetky" for both populations with real DALI timing (arguments: gear, devices). The
// full installation of 64 and 64 keeps the bus busy for about a quarter of an hour; choose the
// small line alone with --benchmark_filter='DaliTiming/8/'.
void BM_ReaddressAll_DaliTiming(benchmark::State& state) {
  const std::string line =
      WriteLine(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    auto server = ServerProcess::StartListening({"--timing", "dali", "--line", line});
    const JobRun run = RunReaddressAll(static_cast<uint16_t>(server->Base() + kGateChannel));
    const double modelled = ModelledMs(*server);
    state.SetIterationTime(run.wallMs / 1000.0);
    state.counters["addressed"] = run.gear + run.devices;
    state.counters["wall_ms"] = run.wallMs;
    state.counters["pauses_ms"] = run.pausedMs;
    state.counters["modelled_ms"] = modelled;
    // The bus model lets the quiet time before a forward frame overlap a pause the client made
    // itself, so each 25 ms pause already holds the next frame's settling time.
    const double overlapMs = run.pauses * sim::DaliTiming::kSettleForward / 1000.0;
    state.counters["ratio"] = (run.wallMs - run.pausedMs + overlapMs) / modelled;
  }
  std::remove(line.c_str());
}
BENCHMARK(BM_ReaddressAll_DaliTiming)
    ->Args({8, 2})
    ->Args({64, 64})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The same job on 64 + 64 without bus timing: exchanges per second, hand-overs included.
void BM_ReaddressAll_NoTiming(benchmark::State& state) {
  const std::string line = WriteLine(64, 64);
  for (auto _ : state) {
    auto server = ServerProcess::StartListening({"--timing", "none", "--line", line});
    const JobRun run = RunReaddressAll(static_cast<uint16_t>(server->Base() + kGateChannel));
    server->Signal(SIGTERM);
    server->Wait();
    const std::string out = server->Output();
    const size_t at = out.rfind(" v ");
    const double exchanges =
        at == std::string::npos ? 0 : std::strtod(out.c_str() + at + 3, nullptr);
    state.SetIterationTime(run.wallMs / 1000.0);
    state.counters["addressed"] = run.gear + run.devices;
    state.counters["exchanges"] = exchanges;
    state.counters["exchanges_per_s"] = exchanges / (run.wallMs / 1000.0);
    // Without the 25 ms the gear search must wait after every yes.
    state.counters["exchanges_per_s_unpaused"] = exchanges / ((run.wallMs - run.pausedMs) / 1000.0);
    state.counters["pauses_ms"] = run.pausedMs;
  }
  std::remove(line.c_str());
}
BENCHMARK(BM_ReaddressAll_NoTiming)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// Frames per addressed gear, from the exact request log of an in-process line of 64 new gear,
// beside what a search that sends all three search bytes before every COMPARE would need.
void BM_FramesPerGear(benchmark::State& state) {
  for (auto _ : state) {
    sim::LineDescription description;
    description.gear.resize(64);
    sim::SimulatedLine simLine(description, 11);
    test::LoopbackPeer peer;
    peer.SetResponder([&](const test::Frame& r) -> std::optional<test::Frame> {
      return test::Frame(simLine.Exchange(r).reply);
    });
    GateLink link(peer.Port());
    TBalastConfig gear;
    TControllerConfig devices;
    TGateThread worker;
    worker.SetDaliCom(&link.com);
    worker.SetConfigs(&gear, &devices);
    worker.SetPause([](std::chrono::milliseconds) {});
    worker.SetJob(0x30);
    worker.Pass();
    // Search: the search-address bytes, COMPARE, RANDOMIZE, PROGRAM SHORT ADDRESS, QUERY SHORT
    // ADDRESS and WITHDRAW. Reading: the queries to one gear's own address, but QUERY BALAST, which
    // is the check after the job.
    int searchBytes = 0, compares = 0, otherSearch = 0, reads = 0, checks = 0;
    for (const test::Frame& r : peer.Requests()) {
      const uint8_t b2 = r[2], b3 = r[3];
      if (b2 == 0xB1 || b2 == 0xB3 || b2 == 0xB5) {
        ++searchBytes;
      } else if (b2 == 0xA9) {
        ++compares;
      } else if (b2 == 0xA7 || b2 == 0xB7 || b2 == 0xBB || b2 == 0xAB) {
        ++otherSearch;
      } else if (b2 % 2 == 1 && b2 < 0x80) {
        ++(b3 == 0x91 ? checks : reads);
      }
    }
    const double addressed = gear.UsedSlotCount();
    state.counters["addressed"] = addressed;
    state.counters["search_frames_per_gear"] = (searchBytes + compares + otherSearch) / addressed;
    // The naive search: all three search bytes before every COMPARE, not only the changed ones.
    state.counters["naive_search_frames_per_gear"] =
        (3 * compares + compares + otherSearch) / addressed;
    state.counters["read_frames_per_gear"] = reads / addressed;
    state.counters["check_frames_per_gear"] = checks / addressed;
    state.counters["frames_per_gear"] = static_cast<double>(peer.Requests().size()) / addressed;
  }
}
BENCHMARK(BM_FramesPerGear)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
