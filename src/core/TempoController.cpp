#include "core/TempoController.h"

#include <string_view>
#include <utility>

#include "core/EffectRange.h"
#include "core/MacroNumber.h"

namespace tempik::core {

namespace {

namespace keys {
constexpr const char* eosIP = "eosIP";
constexpr const char* bpmFX = "bpmFX";
constexpr const char* bpmMacro = "bpmMacro";
constexpr const char* followLink = "followLink";
constexpr const char* tempoMultiplier = "tempoMultiplier";
constexpr const char* midiInput = "midiInput";
constexpr const char* midiTap = "midiTap";
constexpr const char* followMidiClock = "followMidiClock";
}  // namespace keys

constexpr std::string_view errorPhrases[] = {"Effect Not Running", "Cue List Does Not Exist"};

bool reportsError(std::string_view commandLine) {
  for (const std::string_view phrase : errorPhrases) {
    if (commandLine.find(phrase) != std::string_view::npos) return true;
  }
  return false;
}

std::string describe(const std::vector<ConsoleCommand>& commands) {
  std::string text;
  for (const auto& command : commands) {
    if (!text.empty()) text += ", ";
    text += command.address + " \"" + command.arguments.front() + '"';
  }
  return text;
}

}  // namespace

// ---- Construction and state -------------------------------------------------------------

std::shared_ptr<TempoController> TempoController::create(Dependencies dependencies) {
  auto controller = std::make_shared<TempoController>(ConstructionKey{}, std::move(dependencies));
  controller->startBackgroundTasks();
  if (controller->followsLink_) controller->joinLinkSession();
  if (controller->midiInput_) controller->openMidiInput();
  return controller;
}

TempoController::TempoController(ConstructionKey, Dependencies dependencies)
    : executor_(std::move(dependencies.executor)),
      clock_(std::move(dependencies.clock)),
      defaults_(std::move(dependencies.defaults)),
      transport_(std::move(dependencies.transport)),
      timings_(dependencies.timings),
      log_(std::move(dependencies.log)),
      linkSession_(std::move(dependencies.linkSession)),
      midiInput_(std::move(dependencies.midiInput)),
      multiplier_(parseTempoMultiplier(defaults_->read(keys::tempoMultiplier).value_or(""))
                      .value_or(TempoMultiplier::normal)),
      // Loaded values are taken as they are: not written back, no reconnect scheduled.
      eosIP_(defaults_->read(keys::eosIP).value_or(defaultEosIP)),
      bpmFX_(defaults_->read(keys::bpmFX).value_or("")),
      bpmMacro_(defaults_->read(keys::bpmMacro).value_or("")),
      followsLink_(linkSession_ && defaults_->read(keys::followLink) == "true"),
      midiSources_(parseMidiSources(defaults_->read(keys::midiInput).value_or(""))),
      followsMidiClock_(midiInput_ && defaults_->read(keys::followMidiClock) == "true") {
  if (const auto trigger = parseMidiTrigger(defaults_->read(keys::midiTap).value_or(""))) {
    midiTap_.emplace(*trigger);
  }
}

TempoController::~TempoController() {
  if (followsLink_) linkSession_->leave();
  if (midiInput_) midiInput_->close();
}

std::optional<std::int64_t> TempoController::macroNumber() const {
  return parseMacroNumber(bpmMacro_);
}

Subscription TempoController::observe(std::function<void(ObservedProperty)> observer) {
  return observers_.add(std::move(observer));
}

void TempoController::setConnected(bool connected, std::optional<link::LinkProblem> problem) {
  if (connected) problem.reset();
  if (isConnected_ != connected) {
    isConnected_ = connected;
    notify(ObservedProperty::isConnected);
  }
  if (connectionProblem_ != problem) {
    connectionProblem_ = problem;
    notify(ObservedProperty::connectionProblem);
  }
}

void TempoController::assignSetting(std::string& field, std::string value, const char* key,
                                    ObservedProperty property) {
  const bool changed = field != value;
  field = std::move(value);
  saveSetting(key, field);
  if (changed) notify(property);
}

void TempoController::saveSetting(const char* key, const std::string& value) {
  std::optional<SettingsError> problem = defaults_->write(key, value);
  if (problem != settingsProblem_) {
    settingsProblem_ = std::move(problem);
    notify(ObservedProperty::settingsProblem);
  }
}

void TempoController::setEosIP(std::string value) {
  assignSetting(eosIP_, std::move(value), keys::eosIP, ObservedProperty::eosIP);
  scheduleReconnect();
}

void TempoController::setBpmFX(std::string value) {
  assignSetting(bpmFX_, std::move(value), keys::bpmFX, ObservedProperty::bpmFX);
}

void TempoController::setBpmMacro(std::string value) {
  assignSetting(bpmMacro_, std::move(value), keys::bpmMacro, ObservedProperty::bpmMacro);
}

// ---- Tapping and applying the tempo -----------------------------------------------------

void TempoController::tap(std::chrono::system_clock::time_point at) {
  const TapTempo before = tempo_;
  tempo_.recordTap(at);
  if (tempo_ == before) return;  // a bounce: nothing changed

  // From the third tap on, each tap computes the tapped tempo, which becomes the current one
  // even if the same: the latest source wins over a followed change still waiting. Observers
  // hear of the tap once its tempo is on its way, so they never see it unsent for a moment.
  if (tempo_.taps().size() >= 3 && tempo_.bpm()) {
    followPending_ = false;
    setBaseTempo(double(*tempo_.bpm()));
  }
  notify(ObservedProperty::tempo);
  showTempoSent();
}

// The same tempo again goes out only if it never reached the console.
void TempoController::setBaseTempo(double base) {
  baseTempo_ = base;
  const std::int64_t bpm = wholeBPM(base, multiplier_);
  const bool changed = bpm != bpm_;
  bpm_ = bpm;
  if (changed) hasResentBPM_ = false;
  if (changed || hasUnsentTempo()) applyBPM(bpm);
}

void TempoController::setFollowsLink(bool follow) {
  if (!linkSession_) return;
  const bool changed = follow != followsLink_;
  followsLink_ = follow;
  saveSetting(keys::followLink, follow ? "true" : "false");
  if (!changed) return;
  if (follow) {
    joinLinkSession();
  } else {
    leaveLinkSession();
  }
  notify(ObservedProperty::followsLink);
}

void TempoController::setMidiSources(MidiSources sources) {
  if (!midiInput_) return;
  const bool changed = sources != midiSources_;
  midiSources_ = std::move(sources);
  saveSetting(keys::midiInput, settingsText(midiSources_));
  if (!changed) return;
  midiInput_->choose(midiSources_);
  notify(ObservedProperty::midiInput);
}

std::optional<MidiTrigger> TempoController::midiTap() const {
  if (!midiTap_) return std::nullopt;
  return midiTap_->trigger();
}

void TempoController::setMidiTap(std::optional<MidiTrigger> trigger) {
  if (!midiInput_) return;
  const bool changed = trigger != midiTap() || learnsMidiTap_;
  learnsMidiTap_ = false;
  if (trigger != midiTap()) midiTap_.reset();
  if (trigger && !midiTap_) midiTap_.emplace(*trigger);
  saveSetting(keys::midiTap, trigger ? settingsText(*trigger) : "");
  if (changed) notify(ObservedProperty::midiTap);
}

void TempoController::learnMidiTap(bool learn) {
  if (!midiInput_ || learn == learnsMidiTap_) return;
  learnsMidiTap_ = learn;
  notify(ObservedProperty::midiTap);
}

void TempoController::setFollowsMidiClock(bool follow) {
  if (!midiInput_) return;
  const bool changed = follow != followsMidiClock_;
  followsMidiClock_ = follow;
  saveSetting(keys::followMidiClock, follow ? "true" : "false");
  if (!changed) return;
  restartMidiClock();
  midiClockState_ = {};
  if (!follow) forgetFollowedTempo(FollowedSource::midiClock);
  notify(ObservedProperty::followsMidiClock);
}

void TempoController::setTempoMultiplier(TempoMultiplier multiplier) {
  const bool changed = multiplier != multiplier_;
  multiplier_ = multiplier;
  saveSetting(keys::tempoMultiplier, settingsText(multiplier));
  if (!changed) return;
  notify(ObservedProperty::tempoMultiplier);
  if (!baseTempo_) return;
  const auto before = bpm_;
  setBaseTempo(*baseTempo_);
  if (bpm_ != before) notify(ObservedProperty::tempo);
  showTempoSent();
}

bool TempoController::hasUnsentTempo() const {
  return bpm_ && bpm_ != tempoOnConsole_ && bpm_ != tempoOnItsWay_;
}

void TempoController::showTempoSent() {
  const bool unsent = hasUnsentTempo();
  if (unsent == shownUnsent_) return;
  shownUnsent_ = unsent;
  notify(ObservedProperty::tempoSent);
}

// A tempo that cannot go now stays unsent, and sendUnsentTempo() sends it once it can: after
// the Effect key presses, once the console answers its ping, or when the link is back.
void TempoController::applyBPM(std::int64_t bpm) {
  const auto tempo = [bpm] { return "Tempo " + std::to_string(bpm); };
  if (!isConnected_ || isPressingEffectKeys_ || isAwaitingPing()) {
    log(LogTopic::tempo, [&] {
      return tempo() + " held: " +
             (!isConnected_           ? "not connected"
              : isPressingEffectKeys_ ? "the Effect key presses run"
                                      : "waiting for the console to answer");
    });
    return;
  }
  auto commands = tempoCommands(bpm, EffectRange::parse(bpmFX_), macroNumber());
  if (commands.empty()) {
    log(LogTopic::tempo,
        [&] { return tempo() + " not sent: no effects and no macro to send it to"; });
    return;
  }
  log(LogTopic::tempo,
      [&] { return "Sending tempo " + std::to_string(bpm) + ": " + describe(commands); });
  tempoOnItsWay_ = bpm;
  showTempoSent();
  sendInOrder(shared_from_this(), std::move(commands), 0, bpm);
}

// The send task holds the controller strongly until its last send completes. A failed send
// means the link is gone: the rest is dropped and the check loop reconnects.
void TempoController::sendInOrder(std::shared_ptr<TempoController> self,
                                  std::vector<ConsoleCommand> commands, std::size_t next,
                                  std::int64_t bpm) {
  if (next == commands.size()) {
    self->tempoWritten(bpm);
    return;
  }
  link::ConsoleTransport& transport = *self->transport_;
  ConsoleCommand command = commands[next];
  transport.send(
      std::move(command.address), std::move(command.arguments),
      [self = std::move(self), commands = std::move(commands), next,
       bpm](std::optional<link::SendError> error) mutable {
        if (error) {
          self->log(LogTopic::tempo, [&] {
            return std::string("Tempo " + std::to_string(bpm) + " not sent: " + error->description);
          });
          if (self->tempoOnItsWay_ == bpm) self->tempoOnItsWay_.reset();
          if (self->isConnected_) {
            self->setConnected(false, link::LinkProblem::failed);
          }
          self->showTempoSent();
          return;
        }
        sendInOrder(std::move(self), std::move(commands), next + 1, bpm);
      });
}

void TempoController::tempoWritten(std::int64_t bpm) {
  if (tempoOnItsWay_ == bpm) tempoOnItsWay_.reset();
  tempoOnConsole_ = bpm;
  pingsSentBeforeTempo_ = pingsSent_;
  showTempoSent();
  // A console that answers pings confirms that it read the tempo by answering the next one.
  if (consoleAnswersPings_) pingConsole();
}

void TempoController::sendUnsentTempo() {
  if (hasUnsentTempo()) applyBPM(*bpm_);
}

// Two presses of the Effect key, the key gap apart; failed presses are ignored. A call
// while a sequence runs adds no presses and continues at once. A tempo held back meanwhile
// goes out when the sequence ends, unless what continues sent it already.
void TempoController::pressEffectKeys(Continuation done) {
  if (isPressingEffectKeys_) {
    done();
    return;
  }
  isPressingEffectKeys_ = true;
  log(LogTopic::tempo, [&] { return std::string("Pressing Effect twice"); });
  std::weak_ptr<TempoController> weak = weak_from_this();
  pressEffectKey([weak, done = std::move(done)]() mutable {
    const auto self = weak.lock();
    if (!self) return;
    self->effectKeyGapTask_ = self->executor_->postAfter(
        self->timings_.effectKeyGap, [weak, done = std::move(done)]() mutable {
          const auto self = weak.lock();
          if (!self) return;
          self->pressEffectKey([weak, done = std::move(done)]() mutable {
            const auto self = weak.lock();
            if (!self) return;
            self->isPressingEffectKeys_ = false;
            self->log(LogTopic::tempo, [&] { return std::string("Effect pressed twice"); });
            std::exchange(done, {})();
            self->sendUnsentTempo();
          });
        });
  });
}

void TempoController::pressEffectKey(Continuation then) {
  ConsoleCommand press = effectKeyPress();
  transport_->send(std::move(press.address), std::move(press.arguments),
                   [then = std::move(then)](std::optional<link::SendError>) mutable {
                     std::exchange(then, {})();
                   });
}

// ---- Console feedback -------------------------------------------------------------------

void TempoController::handleMessage(const std::string& address,
                                    const std::vector<std::string>& arguments) {
  if (address == console::tapAddress) {
    tap(clock_->now());
    return;
  }
  if (address == console::pingReplyAddress) {
    pingAnswered(arguments);
    return;
  }
  if (address != console::commandLineAddress) return;
  if (arguments.empty() || !reportsError(arguments.front())) return;
  log(LogTopic::tempo,
      [&] { return std::string("The console reports \"" + arguments.front() + '"'); });
  executor_->post([self = shared_from_this()] { self->reactToErrorFeedback(); });
}

// Pressing Effect twice restarts the console's effects; the tempo is then resent once per
// tempo, however often the console keeps reporting the error. Until it goes, the console is
// not known to run it: it counts as unsent, so that a resend held back still goes.
void TempoController::reactToErrorFeedback() {
  if (isPressingEffectKeys_) return;
  pressEffectKeys([self = shared_from_this()] {
    const auto& bpm = self->bpm_;
    if (self->hasResentBPM_ || !bpm) return;
    self->hasResentBPM_ = true;
    if (self->tempoOnConsole_ == bpm) self->tempoOnConsole_.reset();
    self->sendUnsentTempo();
    self->showTempoSent();
  });
}

}  // namespace tempik::core
