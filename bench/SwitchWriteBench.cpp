// The switch editor's long write (3 + 232 + 1 exchanges) against the bus server with real DALI
// timing: how far the wall time of the write is from the modelled bus time of its frames, sent
// from a session directly and from the worker with the counter handed over after every byte.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
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
#include "buslink/BusSession.h"
#include "buslink/ConfigPacket.h"
#include "buslink/DaliCom.h"
#include "buslink/TcpClient.h"
#include "commissioning/GateThread.h"
#include "model/BalastConfig.h"
#include "model/ControllerConfig.h"
#include "model/UiBridge.h"
#include "sequences/SwitchSequences.h"

namespace {

using namespace lumetra;
using test::ServerProcess;

constexpr uint8_t kSwitch = 9;

using bench::ThreadBridge;

std::string WriteLine() {
  char path[] = "/tmp/lumetra-bench-switch-XXXXXX";
  const int fd = mkstemp(path);
  close(fd);
  std::ofstream out(path);
  out << "<daliline name=\"bench\">\n  <device short=\"" << int(kSwitch)
      << "\" kind=\"129\" version=\"1.001\"/>\n</daliline>\n";
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

// A switch with every step and response in use.
void FillSwitch(TControllerConfig& t) {
  t.SetCurrentSlot(kSwitch);
  t.SetShortAddress(kSwitch);
  t.SetDeviceType(kKindSwitch);
  SwitchLayout layout = t.Switch();
  for (uint32_t s = 0; s < 4; ++s) {
    for (uint32_t n = 0; n < 26; ++n) layout.SetImageByte(s, n, (7 * s + n) & 0xFF);
  }
  for (uint32_t i = 0; i < 2; ++i) {
    for (uint32_t j = 0; j < 16; ++j) {
      for (uint32_t n = 0; n < 4; ++n) layout.SetImageByte(i, j, n, (i + j + n) & 0xFF);
    }
  }
}

void Report(benchmark::State& state, double wallMs, double modelledMs, int exchanges) {
  state.SetIterationTime(wallMs / 1000.0);
  state.counters["exchanges"] = exchanges;
  state.counters["wall_ms"] = wallMs;
  state.counters["modelled_ms"] = modelledMs;
  state.counters["ratio"] = wallMs / modelledMs;
}

// The write from a session of the calling thread.
void BM_SwitchWrite_DaliTiming_Session(benchmark::State& state) {
  const std::string line = WriteLine();
  for (auto _ : state) {
    auto server = ServerProcess::StartListening({"--timing", "dali", "--line", line});
    double wallMs = 0;
    int exchanges = 0;
    {
      GateLink link(static_cast<uint16_t>(server->Base() + kGateChannel));
      BusSession session(&link.com);
      TControllerConfig table;
      FillSwitch(table);
      const auto start = std::chrono::steady_clock::now();
      const SequenceResult result = WriteSwitchSequences(session, table);
      wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                   .count();
      exchanges = session.Exchanges();
      if (!result.Ok()) state.SkipWithError(result.Text().c_str());
    }
    Report(state, wallMs, ModelledMs(*server), exchanges);
  }
  std::remove(line.c_str());
}
BENCHMARK(BM_SwitchWrite_DaliTiming_Session)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The write as the editor makes it: a task of the worker, the counter handed to the "user
// interface" thread after every exchange and waited for there.
void BM_SwitchWrite_DaliTiming_Worker(benchmark::State& state) {
  const std::string line = WriteLine();
  for (auto _ : state) {
    auto server = ServerProcess::StartListening({"--timing", "dali", "--line", line});
    double wallMs = 0;
    int exchanges = 0;
    {
      GateLink link(static_cast<uint16_t>(server->Base() + kGateChannel));
      TBalastConfig gear;
      TControllerConfig table;
      FillSwitch(table);
      ThreadBridge bridge;
      TGateThread worker;
      worker.SetDaliCom(&link.com);
      worker.SetConfigs(&gear, &table);
      worker.SetBridge(&bridge);
      worker.Start();
      std::mutex mutex;
      std::condition_variable ended;
      bool done = false;
      SequenceResult result;
      int shown = 0;
      WorkerTask task;
      task.sequence = [&table](BusSession& session) {
        return WriteSwitchSequences(session, table);
      };
      task.progress = [&shown](int) { ++shown; };
      task.done = [&](const SequenceResult& r) {
        std::lock_guard lock(mutex);
        result = r;
        done = true;
        ended.notify_all();
      };
      const auto start = std::chrono::steady_clock::now();
      if (!worker.StartTask(std::move(task))) state.SkipWithError("the worker took no task");
      {
        std::unique_lock lock(mutex);
        ended.wait(lock, [&] { return done; });
      }
      wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                   .count();
      exchanges = shown;
      worker.Terminate();
      worker.WaitFor();
      if (!result.Ok()) state.SkipWithError(result.Text().c_str());
    }
    Report(state, wallMs, ModelledMs(*server), exchanges);
  }
  std::remove(line.c_str());
}
BENCHMARK(BM_SwitchWrite_DaliTiming_Worker)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// One step level changed on a switch whose memory is known (as after a reading), against the
// whole-image write of the same switch, on one server in one run: exchanges and wall time of each
// and their ratios.
void BM_SwitchOneField_DaliTiming(benchmark::State& state) {
  const std::string line = WriteLine();
  for (auto _ : state) {
    auto server = ServerProcess::StartListening({"--timing", "dali", "--line", line});
    {
      GateLink link(static_cast<uint16_t>(server->Base() + kGateChannel));
      BusSession session(&link.com);
      TControllerConfig table;
      auto timed = [&](auto&& write) {
        const int before = session.Exchanges();
        const auto start = std::chrono::steady_clock::now();
        const SequenceResult result = write();
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        if (!result.Ok()) state.SkipWithError(result.Text().c_str());
        return std::pair{ms, session.Exchanges() - before};
      };
      FillSwitch(table);
      const auto [wholeMs, wholeExchanges] =
          timed([&] { return WriteSwitchSequences(session, table); });
      table.Switch().Sequences(2).Steps(1).SetCommand(77);
      const auto [oneMs, oneExchanges] =
          timed([&] { return WriteSwitchSequences(session, table); });
      state.SetIterationTime(oneMs / 1000.0);
      state.counters["whole_exchanges"] = wholeExchanges;
      state.counters["whole_ms"] = wholeMs;
      state.counters["one_exchanges"] = oneExchanges;
      state.counters["one_ms"] = oneMs;
      state.counters["exchange_ratio"] = static_cast<double>(oneExchanges) / wholeExchanges;
      state.counters["time_ratio"] = oneMs / wholeMs;
    }
    server->Signal(SIGTERM);
    server->Wait();
  }
  std::remove(line.c_str());
}
BENCHMARK(BM_SwitchOneField_DaliTiming)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
