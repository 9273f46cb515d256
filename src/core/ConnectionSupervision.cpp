// Keeping the console connected: the check loop, attempts, the reconnect after a host edit,
// drops the transport reports, and pings that tell a console which stopped reading.
#include <string>
#include <utility>

#include "core/HostAddress.h"
#include "core/TempoController.h"
#include "core/WhiteSpace.h"
#include "link/LinkProblems.h"

namespace tempik::core {

namespace {

std::string pingToken(std::uint64_t ping) {
  return "tempik " + std::to_string(ping);
}

std::string describe(const link::LinkDown& why) {
  std::string text(link::logText(why.problem));
  if (!why.detail.empty()) text += " (" + why.detail + ")";
  return text;
}

}  // namespace

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
  // Already on the executor.
  transport_->setLinkDownHandler(
      [weak](const link::LinkDown& why) {
        if (const auto self = weak.lock()) self->linkWentDown(why);
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
  // Text that names no console drops any link: the operator sees why under the field.
  if (hostAddressProblem(host)) {
    transport_->disconnect([weak, done = std::move(done)]() mutable {
      const auto self = weak.lock();
      if (!self) return;
      self->forgetPings();
      self->setConnected(false, link::LinkProblem::badAddress);
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
        const auto* failure = std::get_if<link::LinkDown>(&outcome);
        const bool addressChanged = trimWhiteSpace(self->eosIP_) != host;
        // A failed attempt that a newer one overtook decides nothing: the newer one does.
        const bool overtaken = failure && (attempt != self->connectAttemptsStarted_ ||
                                           failure->problem == link::LinkProblem::superseded);
        if (addressChanged || overtaken) {
          std::exchange(done, {})();
          return;
        }
        const std::string where = host + ":" + std::to_string(consolePort);
        if (failure) {
          self->log(LogTopic::link, [&] {
            return std::string("Cannot connect to " + where + ": " + describe(*failure));
          });
          self->forgetPings();
          self->setConnected(false, failure->problem);
          std::exchange(done, {})();
          return;
        }
        if (std::holds_alternative<link::NewConnection>(outcome)) {
          self->log(LogTopic::link, [&] { return std::string("Connected to " + where); });
          self->forgetPings();  // judged afresh
          self->setConnected(true);
          self->pressEffectKeys([weak, done = std::exchange(done, {})]() mutable {
            if (const auto self = weak.lock()) self->pingConsole();
            std::exchange(done, {})();
          });
          return;
        }
        self->setConnected(true);
        self->pingConsole();
        // Back after a host edit that came to the same address: what waited goes now.
        self->sendUnsentTempo();
        std::exchange(done, {})();
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

void TempoController::linkWentDown(const link::LinkDown& why) {
  log(LogTopic::link, [&] { return std::string("Lost the console: " + describe(why)); });
  forgetPings();
  setConnected(false, why.problem);
}

// ---- Pings ----------------------------------------------------------------------------------

bool TempoController::isAwaitingPing() const {
  return consoleAnswersPings_ && awaitedPing_.has_value();
}

void TempoController::pingConsole() {
  if (!isConnected_ || awaitedPing_) return;
  const std::uint64_t ping = ++pingsSent_;
  awaitedPing_ = ping;
  // A failed send needs nothing here: a lost link is reported as such.
  transport_->send(console::pingAddress, {pingToken(ping)}, {});
  pingWaitTask_ = executor_->postAfter(timings_.pingWait, [weak = weak_from_this(), ping] {
    if (const auto self = weak.lock()) self->pingUnanswered(ping);
  });
}

void TempoController::pingAnswered(const std::vector<std::string>& arguments) {
  if (!awaitedPing_ || arguments.empty() || arguments.front() != pingToken(*awaitedPing_)) return;
  lastAnsweredPing_ = *awaitedPing_;
  awaitedPing_.reset();
  pingWaitTask_->cancel();
  if (!consoleAnswersPings_)
    log(LogTopic::link, [&] { return std::string("The console answers pings"); });
  consoleAnswersPings_ = true;
  sendUnsentTempo();
}

void TempoController::pingUnanswered(std::uint64_t ping) {
  if (awaitedPing_ != ping) return;
  awaitedPing_.reset();
  // A console that never answered is not judged by its silence.
  if (!consoleAnswersPings_) return;
  log(LogTopic::link, [&] {
    return std::string("No answer to a ping within " + std::to_string(timings_.pingWait.count()) +
                       " ms: resetting the link");
  });
  // A tempo written after the last answered ping went out may be stuck in the buffers that
  // the reset throws away.
  if (lastAnsweredPing_ <= pingsSentBeforeTempo_) tempoOnConsole_.reset();
  tempoOnItsWay_.reset();
  forgetPings();
  transport_->abort({});
  setConnected(false, link::LinkProblem::stalled);
  showTempoSent();
}

// A new connection starts unjudged. Cancelled, not destroyed: this may run inside the wait.
void TempoController::forgetPings() {
  consoleAnswersPings_ = false;
  awaitedPing_.reset();
  if (pingWaitTask_) pingWaitTask_->cancel();
}

}  // namespace tempik::core
