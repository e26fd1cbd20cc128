// Blocking hand-over from a worker thread; a failure inside the call goes to the error report.
#include "ui/QtUiBridge.h"

#include <QMetaObject>
#include <QThread>

#include "ui/LumetraApplication.h"

namespace lumetra {

void QtUiBridge::RunOnUi(std::function<void()> call) {
  if (QThread::currentThread() == context_->thread()) {
    call();
    return;
  }
  QMetaObject::invokeMethod(
      context_, [&call] { TLumetraApplication::Guard(call); }, Qt::BlockingQueuedConnection);
}

}  // namespace lumetra
