#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/TempoSession.h"

namespace tempik::fakes {

/// A Link session that records joins and leaves and reports the states the test gives it.
/// Used on the test's thread, which is the executor's.
class FakeTempoSession final : public core::TempoSession {
 public:
  void join(ChangeHandler onChange) override {
    calls.emplace_back("join");
    onChange_ = std::move(onChange);
  }
  void leave() override {
    calls.emplace_back("leave");
    onChange_ = nullptr;
  }
  /// The session changed, as the real one reports it on the executor; nothing while left.
  void report(const core::TempoSessionState& state) const {
    if (onChange_) onChange_(state);
  }

  std::vector<std::string> calls;

 private:
  ChangeHandler onChange_;
};

}  // namespace tempik::fakes
