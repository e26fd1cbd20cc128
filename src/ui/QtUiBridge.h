// The Qt side of the worker hand-over: a blocking queued call into the user-interface thread.
#pragma once

#include <QObject>

#include "model/UiBridge.h"

namespace lumetra {

// Threads: RunOnUi is called from the worker and the monitor reader; the call runs on the thread of
// `context` while the caller waits on the shared state's lock and condition.
class QtUiBridge : public UiBridge {
 public:
  // `context` lives on the user-interface thread; calls are queued to it.
  explicit QtUiBridge(QObject* context) : context_(context) {}
  void RunOnUi(std::function<void()> call) override;

 private:
  QObject* context_;
};

}  // namespace lumetra
