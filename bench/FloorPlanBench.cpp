// The floor plan of a full installation (64 control gear, 64 control devices), shown on the
// offscreen platform: a refresh of every button from the tables, and one drag step from the
// mouse event to the repainted area.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>

#include "model/BalastConfig.h"
#include "model/ControllerConfig.h"
#include "ui/floorplan/MainPositionFrame.h"

namespace {

using namespace lumetra;

struct FullPlan {
  TBalastConfig gear;
  TControllerConfig devices;
  TMainPositionFrame view;

  FullPlan() {
    view.AttachToWindow({.balastConfig = &gear, .controllerConfig = &devices});
    view.BindPlan();
    for (uint8_t i = 0; i < 64; ++i) {
      gear.SetCurrentSlot(i);
      gear.SetShortAddress(i);
      gear.SetDeviceType(6);
      gear.SetStatus(i % 3 == 0 ? 0x02 : 0);
      gear.SetActualLevel(100 + i);
      for (int g = 0; g < 16; ++g) gear.SetGroups(g, (i + g) % 2);
      devices.SetCurrentSlot(i);
      devices.SetShortAddress(i);
      devices.SetDeviceType(129);
      for (int g = 0; g < 16; ++g) devices.SetGroups(g, (i + g) % 3 == 0);
    }
    gear.SetCurrentSlot(5);
    devices.SetCurrentSlot(0);
    view.resize(772, 690);
    view.show();
    view.PositionFrame->Select(kGearKind, 5);
    view.RefreshView();
    QCoreApplication::processEvents();
  }
};

// `changing`: every refresh finds a new group chosen, so that every button's group look changes;
// otherwise the tables are as the last refresh showed them. `status`: the status display on.
void BM_RefreshPlan(benchmark::State& state) {
  FullPlan plan;
  const bool changing = state.range(0) != 0;
  plan.view.PositionFrame->ShowStatus = static_cast<int>(state.range(1));
  uint8_t group = 3;
  for (auto _ : state) {
    if (changing) {
      group = group == 3 ? 4 : 3;
      plan.gear.SetCurrentGroup(group);
      plan.devices.SetCurrentGroup(group);
    }
    plan.view.RefreshView();
  }
  state.counters["buttons"] = 128;
}
BENCHMARK(BM_RefreshPlan)
    ->ArgNames({"changing", "status"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMicrosecond);

// One move event to the dragged button and the event loop's repaint of what it uncovered and
// covers now.
void BM_DragStep(benchmark::State& state) {
  FullPlan plan;
  TPositionFrame& frame = *plan.view.PositionFrame;
  TDeviceButton& dragged = frame.GearButton(5);
  frame.JustPressed = 0;
  int step = 0;
  for (auto _ : state) {
    // The centre follows the mouse: back and forth by 10 pixels.
    const QPointF inside(37 + ((step++ % 2) ? -10 : 10), 12);
    QMouseEvent move(QEvent::MouseMove, inside, dragged.Button->mapToGlobal(inside),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dragged.Button, &move);
    QCoreApplication::processEvents();
  }
  benchmark::DoNotOptimize(dragged.Left());
}
BENCHMARK(BM_DragStep)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
