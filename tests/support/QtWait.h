// GUI tests wait for what a worker thread or a peer does while the event loop keeps running, so
// that hand-overs to the user interface are served meanwhile.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>

namespace lumetra::test {

// True as soon as `condition` holds; false when it still does not after `ms` milliseconds.
inline bool WaitUntil(const std::function<bool()>& condition, int ms = 3000) {
  QElapsedTimer timer;
  timer.start();
  while (!condition()) {
    if (timer.elapsed() > ms) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
  }
  return true;
}

}  // namespace lumetra::test
