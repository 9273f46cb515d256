#pragma once

#include "core/TempoSession.h"

namespace tempik::fakes {

/// A tempo session the test drives: it counts joins and leaves and hands the test's states
/// to the joined handler, on the caller's thread (the executor's, in the tests).
class FakeTempoSession final : public core::TempoSession {
 public:
  void join(ChangeHandler onChange) override {
    ++joins;
    handler_ = std::move(onChange);
  }
  void leave() override {
    ++leaves;
    handler_ = nullptr;
  }
  /// What a session says; nothing while not joined, like Link after leaving.
  void report(double tempo, std::size_t peers = 1) const {
    if (handler_) handler_(core::TempoSessionState{tempo, peers});
  }
  [[nodiscard]] bool joined() const { return handler_ != nullptr; }

  int joins = 0;
  int leaves = 0;

 private:
  ChangeHandler handler_;
};

}  // namespace tempik::fakes
