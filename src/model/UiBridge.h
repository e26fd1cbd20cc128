// The core's only way to reach the user-interface thread: a synchronous hand-over.
#pragma once

#include <functional>

namespace lumetra {

class UiBridge {
 public:
  virtual ~UiBridge() = default;
  // Runs `call` on the user-interface thread and returns when it has run; runs it directly when
  // already on that thread. Anything that waits for a worker on the user-interface thread must keep
  // serving these calls while it waits.
  virtual void RunOnUi(std::function<void()> call) = 0;
};

// Runs every hand-over on the calling thread: for tests and for programs without a user interface.
class InlineUiBridge : public UiBridge {
 public:
  void RunOnUi(std::function<void()> call) override { call(); }
};

}  // namespace lumetra
