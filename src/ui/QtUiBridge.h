// The Qt side of the worker hand-over: a blocking queued call into the user-interface thread.
#pragma once

#include <QObject>

#include "model/UiBridge.h"

namespace lumetra {

class QtUiBridge : public UiBridge {
 public:
  // `context` lives on the user-interface thread; calls are queued to it.
  explicit QtUiBridge(QObject* context) : context_(context) {}
  void RunOnUi(std::function<void()> call) override;

 private:
  QObject* context_;
};

}  // namespace lumetra
