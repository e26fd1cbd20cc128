// Blocking hand-over from a worker thread; a failure inside the call goes to the error report.
#include "ui/QtUiBridge.h"

#include <QMetaObject>
#include <QThread>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "ui/LumetraApplication.h"

namespace lumetra {

void QtUiBridge::RunOnUi(std::function<void()> call) {
  if (QThread::currentThread() == context_->thread()) {
    call();
    return;
  }
  // The wait is ours rather than Qt's blocking connection, so that the hand-over is visible to the
  // thread sanitizer; the state is shared so that neither side outlives what it touches.
  struct State {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
  };
  auto state = std::make_shared<State>();
  QMetaObject::invokeMethod(
      context_,
      [state, call = std::move(call)] {
        TLumetraApplication::Guard(call);
        std::lock_guard lock(state->mutex);
        state->finished = true;
        state->done.notify_all();
      },
      Qt::QueuedConnection);
  std::unique_lock lock(state->mutex);
  state->done.wait(lock, [&] { return state->finished; });
}

}  // namespace lumetra
