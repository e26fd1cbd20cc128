// Runs a clean-up when a scope is left, also when it is left by a failed exchange.
#pragma once

#include <utility>

namespace lumetra {

template <typename F>
class ScopeExit {
 public:
  explicit ScopeExit(F f) : f_(std::move(f)) {}
  ~ScopeExit() { f_(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  F f_;
};

}  // namespace lumetra
