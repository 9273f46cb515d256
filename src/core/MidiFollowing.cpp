// MIDI: taps from a pad, key or pedal, and the beat clock followed by the follow rules.
#include <cmath>
#include <string>
#include <variant>

#include "core/TempoController.h"

namespace tempik::core {

namespace {
// Tenths of a BPM are all the window shows of the clock; finer changes are jitter.
constexpr double shownClockStep = 0.05;
}  // namespace

void TempoController::openMidiInput() {
  const std::weak_ptr<TempoController> weak = weak_from_this();
  midiInput_->open(
      midiSources_,
      [weak](const MidiEvent& event) {
        if (const auto self = weak.lock()) self->midiEventArrived(event);
      },
      [weak](const MidiInputState& state) {
        const auto self = weak.lock();
        if (!self || self->midiInputState_ == state) return;
        self->midiInputState_ = state;
        self->notify(ObservedProperty::midiInput);
      });
}

// Learning takes the message and taps nothing with it.
void TempoController::midiEventArrived(const MidiEvent& event) {
  if (const auto* clock = std::get_if<MidiClockMessage>(&event.message)) {
    midiClockArrived(event, *clock);
    return;
  }
  if (learnsMidiTap_) {
    if (const auto trigger = triggerOf(event.message)) {
      log(LogTopic::tempo, [&] { return "Learned the MIDI tap " + settingsText(*trigger); });
      setMidiTap(*trigger);
    }
    return;
  }
  if (midiTap_ && midiTap_->taps(event.message)) tap(event.at);
}

std::optional<MidiClockState> TempoController::midiClockState() const {
  if (!followsMidiClock_) return std::nullopt;
  return midiClockState_;
}

// The clock is followed from its first four beats after Start, Continue or a silence; a
// measured tempo goes to the follow rules once it moved by the follow margin from the last.
// One clock is followed at a time: a source connected twice, or a second clock, would
// otherwise count twice into the same four beats.
void TempoController::midiClockArrived(const MidiEvent& event, MidiClockMessage message) {
  if (!followsMidiClock_ || (midiClockPort_ && *midiClockPort_ != event.port)) return;
  midiClockPort_ = event.port;
  if (message == MidiClockMessage::stop) {
    stopFollowingMidiClock();
    return;
  }
  if (message != MidiClockMessage::clock) {
    midiClock_.restart();
    return;
  }
  midiClockSilenceTask_ = executor_->postAfter(midiClockSilence, [weak = weak_from_this()] {
    if (const auto self = weak.lock()) self->stopFollowingMidiClock();
  });
  const auto tempo = midiClock_.clock(event.at);
  if (!tempo) {
    if (midiClockState_.phase != MidiClockState::Phase::running) {
      setMidiClockState({MidiClockState::Phase::counting, midiClockState_.tempo});
    }
    return;
  }
  const auto& shown = midiClockState_.tempo;
  if (midiClockState_.phase != MidiClockState::Phase::running || !shown ||
      std::abs(*shown - *tempo) >= shownClockStep) {
    setMidiClockState({MidiClockState::Phase::running, *tempo});
  }
  if (midiClockTempo_ && std::abs(*midiClockTempo_ - *tempo) < followMargin) return;
  midiClockTempo_ = tempo;
  followTempo(*tempo, FollowedSource::midiClock);
}

// The tempo stays; the next clock starts a new count, and its first tempo is new.
void TempoController::stopFollowingMidiClock() {
  restartMidiClock();
  if (midiClockState_.phase == MidiClockState::Phase::waiting) return;
  log(LogTopic::tempo, [] { return std::string("The MIDI clock stopped"); });
  setMidiClockState({MidiClockState::Phase::stopped, midiClockState_.tempo});
}

void TempoController::restartMidiClock() {
  midiClock_.restart();
  midiClockTempo_.reset();
  midiClockPort_.reset();
  midiClockSilenceTask_.reset();
}

void TempoController::setMidiClockState(MidiClockState state) {
  if (state == midiClockState_) return;
  midiClockState_ = state;
  notify(ObservedProperty::midiClock);
}

}  // namespace tempik::core
