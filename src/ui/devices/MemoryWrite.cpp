// The counter of a memory write on the worker.
#include "ui/devices/MemoryWrite.h"

#include <QPointer>
#include <atomic>
#include <memory>

#include "sequences/DeviceSequences.h"
#include "ui/NavigatedView.h"
#include "ui/Widgets.h"

namespace lumetra {

QLabel* MakeWriteCounter(int minimumWidth) {
  auto* counter = Named<QLabel>("LabelWritten", QStringLiteral("0"));
  counter->setMinimumWidth(minimumWidth);
  counter->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return counter;
}

void ShowPending(QWidget* panel, const ImageWrite& plan) { panel->setVisible(plan.Bytes() > 0); }

bool RunMemoryWrite(TNavigation& navigation, QLabel* counter, const ImageWrite& plan,
                    std::function<SequenceResult(BusSession&)> write,
                    std::function<void(const SequenceResult&)> done) {
  // The worker session counts its exchanges from its start: the count when the write began is
  // taken on the worker before its first exchange and read here after each one. The data bytes are
  // those after each run's bank, location and enable.
  auto start = std::make_shared<std::atomic<int>>(0);
  const QPointer<QLabel> label(counter);
  return navigation.RunOnWorker(
      [start, write = std::move(write)](BusSession& session) {
        start->store(session.Exchanges());
        return write(session);
      },
      [label, start, plan](int exchanges) {
        const int bytes = plan.Bytes();
        const int written = plan.BytesAfter(exchanges - start->load());
        if (!label || written < 1 || written > bytes) return;
        label->setText(QString::asprintf("%3d / %d", written - 1, bytes - 1));
        label->repaint();
      },
      [label, done = std::move(done)](const SequenceResult& result) {
        if (label) {
          label->clear();
          label->repaint();
        }
        if (done) done(result);
      });
}

bool RunImageWrite(TNavigation& navigation, QLabel* counter, TControllerConfig& table,
                   const ImageWrite& plan, std::function<void(const SequenceResult&)> done) {
  TControllerConfig* t = &table;
  return RunMemoryWrite(
      navigation, counter, plan,
      [t, plan](BusSession& session) { return WriteImage(session, *t, plan); }, std::move(done));
}

}  // namespace lumetra
