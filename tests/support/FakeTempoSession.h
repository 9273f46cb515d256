#pragma once

#include "core/TempoSession.h"

namespace tempik::fakes {

/// A tempo session the test drives: it counts joins and leaves and hands the test's states
/// to the joined handler, on the caller's thread (the executor's, in the tests); nothing
/// while not joined, like Link after leaving.
struct FakeTempoSession final : core::TempoSession {
  void join(ChangeHandler onChange) override { ++joins, handler = std::move(onChange); }
  void leave() override { ++leaves, handler = nullptr; }
  void report(double tempo, std::size_t peers = 1) const {
    if (handler) handler(core::TempoSessionState{tempo, peers});
  }
  [[nodiscard]] bool joined() const { return handler != nullptr; }

  int joins = 0, leaves = 0;
  ChangeHandler handler;
};

}  // namespace tempik::fakes
