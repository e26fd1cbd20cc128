// The bus monitor's speeds: decoding records, loading a million-line record file into the view
// (time and memory, against reading the file alone), appending into a long recording against an
// empty one, painting very long lines against ordinary ones, and a live stream of 1000 records/s
// from the bus server shown without falling behind.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>

#include "ServerProcess.h"
#include "buslink/ConfigPacket.h"
#include "buslink/TcpClient.h"
#include "monitor/MonitorDecoder.h"
#include "monitor/MonitorFrame.h"
#include "monitor/MonitorLines.h"
#include "monitor/MonitoringThread.h"
#include "ui/QtUiBridge.h"

namespace {

using namespace lumetra;
using namespace std::chrono_literals;

// A mix as a commissioning run puts it on the line: queries and answers, specials, device frames.
std::vector<MonitorRecord> RecordMix() {
  std::vector<MonitorRecord> records;
  for (int i = 0; i < 4096; ++i) {
    const auto b = static_cast<uint8_t>(i * 37);
    switch (i % 6) {
      case 0:
        records.push_back({0x63, 0, static_cast<uint8_t>(2 * (i % 64) + 1), 0x91, 0});
        break;
      case 1:
        records.push_back({0x62, 0, 0, b, 0});
        break;
      case 2:
        records.push_back({0x63, 0, 0xB1, b, 0});
        break;
      case 3:
        records.push_back({0x64, static_cast<uint8_t>(i % 64), 7, b, 0});
        break;
      case 4:
        records.push_back({0x64, 0xFF, 0, 6, 0});
        break;
      default:
        records.push_back({0x63, 0, 0xFE, b, 0});
    }
  }
  return records;
}

void BM_DecodeRecords(benchmark::State& state) {
  const std::vector<MonitorRecord> records = RecordMix();
  MonitorFilter filter;
  filter.BalastFilterOn = 1;
  filter.BalastAddressSelected[3] = 1;
  std::string line;
  bool skip = false;
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        DecodeRecordInto(line, records[i++ & 4095], filter, skip, ArrivalTime{12, 34, 56}));
    benchmark::DoNotOptimize(line.data());
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["target_ratio"] = benchmark::Counter(static_cast<double>(state.iterations()) / 1e6,
                                                      benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecodeRecords)->MinTime(1.0);

long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == field) {
      long kb = 0;
      status >> kb;
      return kb;
    }
  }
  return 0;
}

// Lets the next reading of VmHWM start from the current size.
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

const std::string& MillionLineFile() {
  static QTemporaryDir dir;
  static const std::string path = [] {
    const std::string p = dir.filePath("million.lmm").toStdString();
    MonitorLines lines;
    std::string line;
    bool skip = false;
    const std::vector<MonitorRecord> records = RecordMix();
    for (size_t n = 0; lines.Count() < 1000000; ++n) {
      if (DecodeRecordInto(line, records[n & 4095], MonitorFilter(), skip,
                           ArrivalTime{12, 34, 56})) {
        lines.Append(line);
      }
    }
    SaveMonitorLines(p, lines);
    return p;
  }();
  return path;
}

// Baseline: the file into memory, split into lines, no view.
void BM_ReadRecordFile_1M(benchmark::State& state) {
  const std::string& path = MillionLineFile();
  for (auto _ : state) {
    MonitorLines lines = LoadMonitorLines(path);
    benchmark::DoNotOptimize(lines.Count());
  }
}
BENCHMARK(BM_ReadRecordFile_1M)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// "Otvoriť" with a million lines: into the shown view, laid out and painted. Target under 2 s and
// under 300 MB.
void BM_LoadRecordFileIntoView_1M(benchmark::State& state) {
  const std::string& path = MillionLineFile();
  TMonitorFrame frame;
  frame.resize(772, 690);
  frame.show();
  QApplication::processEvents();
  double growthMb = 0;
  double peakMb = 0;
  for (auto _ : state) {
    state.PauseTiming();
    frame.ClearLines();
    QApplication::processEvents();
    const long before = StatusKb("VmRSS:");
    ResetPeak();
    state.ResumeTiming();
    frame.LoadLines(path);
    frame.ScrollToEnd();
    frame.repaint();
    QApplication::processEvents();
    state.PauseTiming();
    growthMb = static_cast<double>(StatusKb("VmRSS:") - before) / 1024;
    peakMb = static_cast<double>(StatusKb("VmHWM:") - before) / 1024;
    state.ResumeTiming();
  }
  state.counters["lines"] = static_cast<double>(frame.Lines().Count());
  state.counters["held_MB"] = growthMb;
  state.counters["peak_MB"] = peakMb;
}
BENCHMARK(BM_LoadRecordFileIntoView_1M)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

// Appending as the live reader does: one record per hand-over and the event loop run after each,
// so that every line is laid out and painted before the next arrives. An empty view against one
// already holding a million lines, measured alternately in one run; a view that keeps lines in a
// structure fit for long recordings gives a ratio near 1.
void BM_AppendRecord_EmptyVsMillion(benchmark::State& state) {
  TMonitorFrame empty;
  TMonitorFrame full;
  for (TMonitorFrame* frame : {&empty, &full}) {
    frame->resize(772, 690);
    frame->show();
  }
  full.LoadLines(MillionLineFile());
  full.ScrollToEnd();
  QApplication::processEvents();
  const MonitorRecord record{0x63, 0, 0x0B, 0x05, 0};
  constexpr int kBatch = 100;
  // "Empty" stays below this many lines; the view is emptied outside the measured time.
  constexpr size_t kEmptyLimit = 1000;
  double emptySeconds = 0;
  double fullSeconds = 0;
  size_t batches = 0;
  auto appendBatch = [&](TMonitorFrame& frame) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kBatch; ++i) {
      frame.AddRecord(record);
      QApplication::processEvents();
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  for (auto _ : state) {
    if (empty.Lines().Count() >= kEmptyLimit) {
      empty.ClearLines();
      QApplication::processEvents();
    }
    const double e = appendBatch(empty);
    const double f = appendBatch(full);
    emptySeconds += e;
    fullSeconds += f;
    ++batches;
    state.SetIterationTime(e + f);
  }
  const double appends = static_cast<double>(batches) * kBatch;
  state.SetItemsProcessed(static_cast<int64_t>(2 * appends));
  state.counters["empty_us"] = emptySeconds / appends * 1e6;
  state.counters["million_us"] = fullSeconds / appends * 1e6;
  state.counters["million_lines"] = static_cast<double>(full.Lines().Count());
  state.counters["ratio"] = fullSeconds / emptySeconds;
}
BENCHMARK(BM_AppendRecord_EmptyVsMillion)->MinTime(2.0)->UseManualTime();

// One repaint of a full view of ordinary lines against the same view with very long lines on
// screen (arg 0: one line of 16 MiB among them; arg 1: every row a line of 1 MiB), measured
// alternately in one run. A view that draws only what fits a row gives a ratio near 1; one that
// lays out whole lines took seconds per paint.
void BM_PaintLongLines_VsNormal(benchmark::State& state) {
  const std::string normal = "\t0B05\t\t\tA 05\tRECALL MAX LEVEL\t\t\t5\t10:20:30";
  TMonitorFrame plain;
  TMonitorFrame longLines;
  for (TMonitorFrame* frame : {&plain, &longLines}) {
    frame->resize(772, 690);
    frame->show();
  }
  for (int i = 0; i < 40; ++i) {
    plain.AddLine(normal);
    if (state.range(0) == 0) {
      longLines.AddLine(i == 5 ? normal + std::string(16 << 20, 'x') : normal);
    } else {
      longLines.AddLine(normal + std::string(1 << 20, static_cast<char>('a' + i % 26)));
    }
  }
  QApplication::processEvents();
  double plainSeconds = 0;
  double longSeconds = 0;
  int paints = 0;
  auto paint = [](TMonitorFrame& frame) {
    const auto start = std::chrono::steady_clock::now();
    frame.repaint();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  for (auto _ : state) {
    const double p = paint(plain);
    const double l = paint(longLines);
    plainSeconds += p;
    longSeconds += l;
    ++paints;
    state.SetIterationTime(p + l);
  }
  state.counters["normal_ms"] = plainSeconds / paints * 1e3;
  state.counters["long_ms"] = longSeconds / paints * 1e3;
  state.counters["ratio"] = longSeconds / plainSeconds;
}
BENCHMARK(BM_PaintLongLines_VsNormal)
    ->Arg(0)
    ->Arg(1)
    ->MinTime(1.0)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The bus server's monitor stream at 1000 records/s for three seconds, through the reader thread
// and the user-interface hand-over into the view, which starts empty or already holds a million
// lines. Backlog = records on the line not yet shown.
void BM_LiveStream_1000PerSecond(benchmark::State& state) {
  for (auto _ : state) {
    auto server = test::ServerProcess::StartListening();
    TMonitorFrame frame;
    frame.resize(772, 690);
    frame.show();
    if (state.range(0) > 0) frame.LoadLines(MillionLineFile());
    frame.ScrollToEnd();
    QApplication::processEvents();
    const size_t before = frame.Lines().Count();
    QtUiBridge bridge(&frame);
    std::atomic<size_t> shown{0};
    TMonitoringThread reader(bridge, [&](const MonitorRecord& r) {
      frame.AddRecord(r);
      shown = frame.Lines().Count() - before;
    });
    TcpClient monitor;
    monitor.SetHost("127.0.0.1");
    monitor.SetPort(static_cast<uint16_t>(server->Base() + kMonitorChannel));
    monitor.Connect();
    reader.SetClient(&monitor);
    reader.Resume();
    TcpClient gate;
    gate.SetHost("127.0.0.1");
    gate.SetPort(static_cast<uint16_t>(server->Base() + kGateChannel));
    gate.Connect();
    std::this_thread::sleep_for(50ms);  // the server takes the monitor client first

    constexpr size_t kRecords = 3000;
    std::atomic<size_t> sent{0};
    // Arc power to an absent short address: one record per exchange, no answer.
    std::thread sender([&] {
      const auto start = std::chrono::steady_clock::now();
      for (size_t i = 0; i < kRecords; ++i) {
        std::this_thread::sleep_until(start + std::chrono::microseconds(1000 * i));
        uint8_t request[5] = {0x83, 0, 0x7E, static_cast<uint8_t>(i), 0};
        request[4] = request[0] ^ request[1] ^ request[2] ^ request[3];
        uint8_t reply[5];
        gate.Write(request, sizeof request);
        gate.ReadExact(reply, sizeof reply);
        sent = i + 1;
      }
    });
    size_t maxBacklog = 0;
    QElapsedTimer timer;
    timer.start();
    qint64 lastSentAt = -1;
    while (shown < kRecords && timer.elapsed() < 10000) {
      QApplication::processEvents();
      const size_t s = sent;
      const size_t v = shown;
      if (s > v) maxBacklog = std::max(maxBacklog, s - v);
      if (s == kRecords && lastSentAt < 0) lastSentAt = timer.elapsed();
      std::this_thread::sleep_for(200us);
    }
    const qint64 end = timer.elapsed();
    sender.join();
    reader.Terminate();
    monitor.Disconnect();
    while (!reader.Finished()) QApplication::processEvents();
    reader.WaitFor();
    state.SetIterationTime(static_cast<double>(end) / 1000);
    state.counters["shown"] = static_cast<double>(shown.load());
    state.counters["max_backlog"] = static_cast<double>(maxBacklog);
    state.counters["catch_up_ms"] = static_cast<double>(lastSentAt < 0 ? -1 : end - lastSentAt);
  }
}
BENCHMARK(BM_LiveStream_1000PerSecond)
    ->Arg(0)
    ->Arg(1000000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
