#include "core/TempoController.h"

#include <string_view>
#include <utility>

#include "core/EffectRange.h"
#include "core/MacroNumber.h"
#include "core/WhiteSpace.h"

namespace tempik::core {

namespace {

namespace keys {
constexpr const char* eosIP = "eosIP";
constexpr const char* bpmFX = "bpmFX";
constexpr const char* bpmMacro = "bpmMacro";
}  // namespace keys

constexpr std::string_view errorPhrases[] = {"Effect Not Running", "Cue List Does Not Exist"};

bool reportsError(std::string_view commandLine) {
  for (const std::string_view phrase : errorPhrases) {
    if (commandLine.find(phrase) != std::string_view::npos) return true;
  }
  return false;
}

}  // namespace

// ---- Construction and state -------------------------------------------------------------

std::shared_ptr<TempoController> TempoController::create(Dependencies dependencies) {
  auto controller = std::make_shared<TempoController>(ConstructionKey{}, std::move(dependencies));
  controller->startBackgroundTasks();
  return controller;
}

TempoController::TempoController(ConstructionKey, Dependencies dependencies)
    : executor_(std::move(dependencies.executor)),
      clock_(std::move(dependencies.clock)),
      defaults_(std::move(dependencies.defaults)),
      transport_(std::move(dependencies.transport)),
      timings_(dependencies.timings),
      // Loaded values are taken as they are: not written back, no reconnect scheduled.
      eosIP_(defaults_->read(keys::eosIP).value_or(defaultEosIP)),
      bpmFX_(defaults_->read(keys::bpmFX).value_or("")),
      bpmMacro_(defaults_->read(keys::bpmMacro).value_or("")) {}

TempoController::~TempoController() = default;

std::optional<std::int64_t> TempoController::macroNumber() const {
  return parseMacroNumber(bpmMacro_);
}

Subscription TempoController::observe(std::function<void(ObservedProperty)> observer) {
  return observers_.add(std::move(observer));
}

void TempoController::setConnected(bool connected) {
  if (isConnected_ == connected) return;
  isConnected_ = connected;
  notify(ObservedProperty::isConnected);
}

void TempoController::assignSetting(std::string& field, std::string value, const char* key,
                                    ObservedProperty property) {
  const bool changed = field != value;
  field = std::move(value);
  defaults_->write(key, field);
  if (changed) notify(property);
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
  notify(ObservedProperty::tempo);

  const auto& bpm = tempo_.bpm();
  if (!bpm || bpm == before.bpm()) return;
  hasResentBPM_ = false;
  applyBPM(*bpm);
}

void TempoController::applyBPM(std::int64_t bpm) {
  if (!isConnected_ || isPressingEffectKeys_) return;
  auto commands = tempoCommands(bpm, EffectRange::parse(bpmFX_), macroNumber());
  if (commands.empty()) return;
  sendInOrder(shared_from_this(), std::move(commands), 0);
}

// The send task holds the controller strongly until its last send completes. A failed send
// means the link is gone: the rest is dropped and the check loop reconnects.
void TempoController::sendInOrder(std::shared_ptr<TempoController> self,
                                  std::vector<ConsoleCommand> commands, std::size_t next) {
  if (next == commands.size()) return;
  link::ConsoleTransport& transport = *self->transport_;
  ConsoleCommand command = commands[next];
  transport.send(std::move(command.address), std::move(command.arguments),
                 [self = std::move(self), commands = std::move(commands),
                  next](std::optional<link::SendError> error) mutable {
                   if (error) {
                     self->setConnected(false);
                     return;
                   }
                   sendInOrder(std::move(self), std::move(commands), next + 1);
                 });
}

// Two presses of the Effect key, the key gap apart; failed presses are ignored. A call
// while a sequence runs adds no presses and continues at once.
void TempoController::pressEffectKeys(Continuation done) {
  if (isPressingEffectKeys_) {
    done();
    return;
  }
  isPressingEffectKeys_ = true;
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
            std::exchange(done, {})();
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
  if (address != console::commandLineAddress) return;
  if (arguments.empty() || !reportsError(arguments.front())) return;
  executor_->post([self = shared_from_this()] { self->reactToErrorFeedback(); });
}

// Pressing Effect twice restarts the console's effects; the tempo is then resent once per
// tempo, however often the console keeps reporting the error.
void TempoController::reactToErrorFeedback() {
  if (isPressingEffectKeys_) return;
  pressEffectKeys([self = shared_from_this()] {
    const auto& bpm = self->tempo_.bpm();
    if (self->hasResentBPM_ || !bpm) return;
    self->hasResentBPM_ = true;
    self->applyBPM(*bpm);
  });
}

// ---- Connection supervision -------------------------------------------------------------

void TempoController::startBackgroundTasks() {
  std::weak_ptr<TempoController> weak = weak_from_this();
  // Called on a connection's own queue: hop to the executor and do the work there.
  transport_->setReceiveHandler(
      [weak, executor = executor_](const std::string& address,
                                   const std::vector<std::string>& arguments) {
        executor->post([weak, address, arguments] {
          if (const auto self = weak.lock()) self->handleMessage(address, arguments);
        });
      },
      [] {});
  checkConnection();
}

// One pass of the check loop; the next begins the check pause after this one ends.
void TempoController::checkConnection() {
  connectToConsole([weak = weak_from_this()] {
    const auto self = weak.lock();
    if (!self) return;
    self->connectionCheckTask_ =
        self->executor_->postAfter(self->timings_.connectionCheckPause, [weak] {
          if (const auto self = weak.lock()) self->checkConnection();
        });
  });
}

void TempoController::connectToConsole(Continuation done) {
  std::weak_ptr<TempoController> weak = weak_from_this();
  std::string host{trimWhiteSpace(eosIP_)};
  if (host.empty()) {
    transport_->disconnect([weak, done = std::move(done)]() mutable {
      const auto self = weak.lock();
      if (!self) return;
      self->setConnected(false);
      std::exchange(done, {})();
    });
    return;
  }

  const std::uint64_t attempt = ++connectAttemptsStarted_;
  transport_->connect(
      host, consolePort,
      [weak, host, attempt, done = std::move(done)](link::ConnectOutcome outcome) mutable {
        const auto self = weak.lock();
        if (!self) return;
        const bool addressChanged = trimWhiteSpace(self->eosIP_) != host;
        const bool overtaken = !outcome && attempt != self->connectAttemptsStarted_;
        if (addressChanged || overtaken) {
          std::exchange(done, {})();
          return;
        }
        self->setConnected(outcome.has_value());
        const bool freshConnection = outcome.has_value() && !*outcome;
        if (freshConnection) {
          self->pressEffectKeys(std::exchange(done, {}));
        } else {
          std::exchange(done, {})();
        }
      });
}

// Restarted by every edit of the address, so only the address that stands the reconnect delay
// after the last keystroke is tried. An attempt already under way runs to its end.
void TempoController::scheduleReconnect() {
  setConnected(false);
  reconnectTask_.reset();
  reconnectTask_ = executor_->postAfter(timings_.reconnectDelay, [weak = weak_from_this()] {
    if (const auto self = weak.lock()) self->connectToConsole([] {});
  });
}

}  // namespace tempik::core
