#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/ConsoleCommands.h"
#include "core/Executor.h"
#include "core/Observation.h"
#include "core/SettingsStore.h"
#include "core/TapTempo.h"
#include "core/WallClock.h"
#include "link/ConsoleTimings.h"
#include "link/ConsoleTransport.h"

namespace tempik::core {

/// The controller's properties that views show; observers are told which one changed.
enum class ObservedProperty { tempo, isConnected, eosIP, bpmFX, bpmMacro };

/// The application's one central object: the tap tempo, the operator's three settings and
/// the console connection. It sends each new tempo to the console, reacts to the console's
/// tap message and error feedback, and keeps the connection up by itself.
///
/// Runs on the executor it is given (the UI thread): create it, call it, observe it and
/// destroy it there. The transport's completions are posted to that executor; its receive
/// handler may be called on any thread and only posts there. Destroying the controller
/// cancels its timers; nothing calls into it afterwards.
class TempoController : public std::enable_shared_from_this<TempoController> {
 public:
  struct Dependencies {
    std::shared_ptr<Executor> executor;
    std::shared_ptr<const WallClock> clock;
    std::shared_ptr<SettingsStore> defaults;
    std::shared_ptr<link::ConsoleTransport> transport;
    link::ConsoleTimings timings{};
  };

  static constexpr std::int64_t consolePort = 3038;
  static constexpr const char* defaultEosIP = "127.0.0.1";

  /// Loads the settings, installs the receive handler and starts the connection check loop,
  /// whose first attempt begins at once.
  static std::shared_ptr<TempoController> create(Dependencies dependencies);

  TempoController(const TempoController&) = delete;
  TempoController& operator=(const TempoController&) = delete;
  ~TempoController();

  [[nodiscard]] const TapTempo& tempo() const { return tempo_; }
  [[nodiscard]] bool isConnected() const { return isConnected_; }
  [[nodiscard]] const std::string& eosIP() const { return eosIP_; }
  [[nodiscard]] const std::string& bpmFX() const { return bpmFX_; }
  [[nodiscard]] const std::string& bpmMacro() const { return bpmMacro_; }
  [[nodiscard]] std::optional<std::int64_t> macroNumber() const;

  /// Each assignment is written to the settings store at once, changed or not; a new host
  /// address also drops the link and reconnects shortly after the last edit.
  void setEosIP(std::string value);
  void setBpmFX(std::string value);
  void setBpmMacro(std::string value);

  /// Records a tap; a tap that changes the tempo sends it to the console.
  void tap(std::chrono::system_clock::time_point at);

  /// Calls observer on the executor after each change of an observed property.
  [[nodiscard]] Subscription observe(std::function<void(ObservedProperty)> observer);

 private:
  struct ConstructionKey {};

 public:
  TempoController(ConstructionKey, Dependencies dependencies);

 private:
  using Continuation = std::function<void()>;

  void notify(ObservedProperty property) const { observers_.notify(property); }
  void setConnected(bool connected);
  void assignSetting(std::string& field, std::string value, const char* key,
                     ObservedProperty property);

  void applyBPM(std::int64_t bpm);
  static void sendInOrder(std::shared_ptr<TempoController> self,
                          std::vector<ConsoleCommand> commands, std::size_t next);
  void pressEffectKeys(Continuation done);
  void pressEffectKey(Continuation then);

  void handleMessage(const std::string& address, const std::vector<std::string>& arguments);
  void reactToErrorFeedback();

  void startBackgroundTasks();
  void checkConnection();
  void connectToConsole(Continuation done);
  void scheduleReconnect();

  // The seams come first so that they outlive the timers below, which are destroyed (and
  // so cancelled) first.
  std::shared_ptr<Executor> executor_;
  std::shared_ptr<const WallClock> clock_;
  std::shared_ptr<SettingsStore> defaults_;
  std::shared_ptr<link::ConsoleTransport> transport_;
  const link::ConsoleTimings timings_;
  ObserverList<ObservedProperty> observers_;

  TapTempo tempo_;
  bool isConnected_ = false;
  std::string eosIP_;
  std::string bpmFX_;
  std::string bpmMacro_;

  bool isPressingEffectKeys_ = false;
  bool hasResentBPM_ = false;
  // Attempts started so far: an attempt that fails after a newer one began does not decide
  // the connection state, the newer one does.
  std::uint64_t connectAttemptsStarted_ = 0;

  std::unique_ptr<ScheduledJob> reconnectTask_;
  std::unique_ptr<ScheduledJob> connectionCheckTask_;
  std::unique_ptr<ScheduledJob> effectKeyGapTask_;
};

}  // namespace tempik::core
