// Following a tempo the show already has: the Ableton Link session's and the MIDI clock's,
// turned into the current one by the follow rules.
#include <cstdio>
#include <string>

#include "core/TempoController.h"

namespace tempik::core {

void TempoController::joinLinkSession() {
  log(LogTopic::tempo, [] { return std::string("Joining the Link session"); });
  linkSession_->join([weak = weak_from_this()](const TempoSessionState& state) {
    if (const auto self = weak.lock()) self->linkSessionChanged(state);
  });
}

// The tempo stays as it is; nothing of the session waits to go out any more.
void TempoController::leaveLinkSession() {
  log(LogTopic::tempo, [] { return std::string("Leaving the Link session"); });
  linkSession_->leave();
  linkTempo_.reset();
  forgetFollowedTempo(FollowedSource::linkSession);
  if (linkSessionState_) {
    linkSessionState_.reset();
    notify(ObservedProperty::linkSession);
  }
}

// Alone in its session, tempik would only see its own tempo. A report whose tempo did not
// change (another peer came or went) takes nothing over from taps. The session reports
// nothing after leave().
void TempoController::linkSessionChanged(const TempoSessionState& state) {
  if (linkSessionState_ != state) {
    linkSessionState_ = state;
    notify(ObservedProperty::linkSession);
  }
  if (state.peers == 0 || linkTempo_ == state.tempo) return;
  linkTempo_ = state.tempo;
  followTempo(state.tempo, FollowedSource::linkSession);
}

void TempoController::followTempo(double tempo, FollowedSource source) {
  followedTempo_ = tempo;
  followedSource_ = source;
  followPending_ = true;
  if (!followIntervalTask_) followSession();
}

// A source no longer followed leaves nothing of its own waiting to go out.
void TempoController::forgetFollowedTempo(FollowedSource source) {
  if (followedSource_ != source) return;
  followedTempo_.reset();
  followPending_ = false;
  followIntervalTask_.reset();
}

// Applies the latest followed tempo if it takes over, then keeps the interval: changes
// meanwhile wait for its end, when the latest of them is judged.
void TempoController::followSession() {
  followPending_ = false;
  if (!followedTempo_ || !takesOver(*followedTempo_, multiplier_, bpm_)) return;
  log(LogTopic::tempo, [&] {
    char tempo[32];
    std::snprintf(tempo, sizeof tempo, "%.2f", *followedTempo_);
    return std::string(followedSource_ == FollowedSource::linkSession
                           ? "Following the Link session's tempo "
                           : "Following the MIDI clock's tempo ") +
           tempo;
  });
  setBaseTempo(*followedTempo_);
  notify(ObservedProperty::tempo);
  showTempoSent();
  followIntervalTask_ = executor_->postAfter(followInterval, [weak = weak_from_this()] {
    const auto self = weak.lock();
    if (!self) return;
    self->followIntervalTask_.reset();
    if (self->followPending_) self->followSession();
  });
}

}  // namespace tempik::core
