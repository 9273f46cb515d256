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
#include "core/Log.h"
#include "core/MidiClockTempo.h"
#include "core/MidiInput.h"
#include "core/MidiTrigger.h"
#include "core/Observation.h"
#include "core/SettingsStore.h"
#include "core/TapTempo.h"
#include "core/TempoMultiplier.h"
#include "core/TempoSession.h"
#include "core/WallClock.h"
#include "link/ConsoleTimings.h"
#include "link/ConsoleTransport.h"

namespace tempik::core {

/// The controller's properties that views show; observers are told which one changed.
enum class ObservedProperty {
  tempo,
  isConnected,
  eosIP,
  bpmFX,
  bpmMacro,
  connectionProblem,
  tempoSent,
  settingsProblem,
  followsLink,
  linkSession,
  tempoMultiplier,
  midiInput,
  midiTap,
  followsMidiClock,
  midiClock,
};

/// The followed MIDI clock: waiting for its first clock, counting the clocks of its first
/// four beats, running at a measured tempo, or stopped (Stop, or two seconds without a clock;
/// the last tempo measured stays).
struct MidiClockState {
  enum class Phase { waiting, counting, running, stopped };
  Phase phase = Phase::waiting;
  std::optional<double> tempo;
  friend bool operator==(const MidiClockState&, const MidiClockState&) = default;
};

/// The application's one central object: the tap tempo, the followed Link session and MIDI
/// clock, MIDI taps, the operator's settings and the console connection. It sends each new tempo to
/// the console, reacts to the console's tap message and error feedback, and keeps the connection up
/// by itself.
///
/// The tempo comes from the latest source: a tap sequence (from the button, the console or a
/// MIDI pad), or a change of a followed tempo (the Link session's, the MIDI clock's) that is
/// at least 0.6 BPM away from the current one. Followed changes go
/// out at most once per followInterval, the latest always within it. The multiplier applies
/// to both.
///
/// It never shows more than it knows: a drop the transport reports ends `isConnected` at once,
/// with why; a console that answers pings and then stops is given up on after the ping wait
/// and reset; and a tempo that has not reached the console is marked as not sent and goes out
/// once the link is back (after the Effect key presses), never twice.
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
    /// Where to write what happens; nothing is written without one.
    std::shared_ptr<Log> log{};
    /// The Ableton Link session; without one there is nothing to follow.
    std::shared_ptr<TempoSession> linkSession{};
    /// The MIDI input; without one there are no MIDI taps and no clock.
    std::shared_ptr<MidiInput> midiInput{};
  };

  static constexpr std::int64_t consolePort = 3038;
  static constexpr const char* defaultEosIP = "127.0.0.1";
  /// While a followed tempo keeps moving, at most one goes out per interval.
  static constexpr std::chrono::milliseconds followInterval{500};
  /// A MIDI clock silent this long has stopped.
  static constexpr std::chrono::seconds midiClockSilence{2};

  /// Loads the settings, installs the receive handler and starts the connection check loop,
  /// whose first attempt begins at once.
  static std::shared_ptr<TempoController> create(Dependencies dependencies);

  TempoController(const TempoController&) = delete;
  TempoController& operator=(const TempoController&) = delete;
  ~TempoController();

  /// The taps; their tempo is the current one only while taps were the latest source.
  [[nodiscard]] const TapTempo& tempo() const { return tempo_; }
  /// The current whole BPM, multiplier applied, from the latest source; at least 1.
  [[nodiscard]] const std::optional<std::int64_t>& bpm() const { return bpm_; }
  [[nodiscard]] TempoMultiplier tempoMultiplier() const { return multiplier_; }
  /// Whether there is a Link session to follow at all (tempik built with Link).
  [[nodiscard]] bool canFollowLink() const { return linkSession_ != nullptr; }
  [[nodiscard]] bool followsLink() const { return followsLink_; }
  /// The followed session as last reported; nothing while not following or not yet joined.
  [[nodiscard]] const std::optional<TempoSessionState>& linkSessionState() const {
    return linkSessionState_;
  }
  /// Whether tempik has a MIDI input at all (built with MIDI).
  [[nodiscard]] bool canUseMidi() const { return midiInput_ != nullptr; }
  [[nodiscard]] const MidiSources& midiSources() const { return midiSources_; }
  /// What the MIDI input found, as last reported; nothing before its first report.
  [[nodiscard]] const std::optional<MidiInputState>& midiInputState() const {
    return midiInputState_;
  }
  [[nodiscard]] std::optional<MidiTrigger> midiTap() const;
  /// True from learnMidiTap(true) until a note or controller arrives or learning is cancelled.
  [[nodiscard]] bool learnsMidiTap() const { return learnsMidiTap_; }
  [[nodiscard]] bool followsMidiClock() const { return followsMidiClock_; }
  /// The followed clock; nothing while not following it.
  [[nodiscard]] std::optional<MidiClockState> midiClockState() const;
  [[nodiscard]] bool isConnected() const { return isConnected_; }
  [[nodiscard]] const std::string& eosIP() const { return eosIP_; }
  [[nodiscard]] const std::string& bpmFX() const { return bpmFX_; }
  [[nodiscard]] const std::string& bpmMacro() const { return bpmMacro_; }
  [[nodiscard]] std::optional<std::int64_t> macroNumber() const;
  /// Why the console is not connected; nothing while connected, or while it is not yet known
  /// (at the start, and from an edit of the host address until the attempt that follows ends).
  [[nodiscard]] const std::optional<link::LinkProblem>& connectionProblem() const {
    return connectionProblem_;
  }
  /// True while a tempo is shown that has not reached the console and is not on its way: it
  /// goes out by itself once it can.
  [[nodiscard]] bool hasUnsentTempo() const;
  /// Why the last edit could not be saved; nothing once one is saved again.
  [[nodiscard]] const std::optional<SettingsError>& settingsProblem() const {
    return settingsProblem_;
  }

  /// Each assignment is written to the settings store at once, changed or not; a new host
  /// address also drops the link and reconnects shortly after the last edit.
  void setEosIP(std::string value);
  void setBpmFX(std::string value);
  void setBpmMacro(std::string value);
  /// Joins or leaves the Link session; saved like the other settings. Ignored without one.
  void setFollowsLink(bool follow);
  /// Applies the new multiplier to the latest source's tempo at once.
  void setTempoMultiplier(TempoMultiplier multiplier);
  /// The MIDI settings, saved like the others; ignored without a MIDI input.
  void setMidiSources(MidiSources sources);
  void setMidiTap(std::optional<MidiTrigger> trigger);
  /// Learning takes the next note-on or controller as the MIDI tap (it does not tap).
  void learnMidiTap(bool learn);
  void setFollowsMidiClock(bool follow);

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
  /// Builds the line only when someone reads it: taps stay cheap with the log off.
  template <class Line>
  void log(LogTopic topic, Line line) const {
    if (log_ && log_->isEnabled(topic)) log_->write(topic, line());
  }
  /// Not connected also says why, when known; connected forgets the last problem.
  void setConnected(bool connected, std::optional<link::LinkProblem> problem = std::nullopt);
  void assignSetting(std::string& field, std::string value, const char* key,
                     ObservedProperty property);
  void saveSetting(const char* key, const std::string& value);
  /// Makes base x multiplier the current tempo and sends it when it is new or unsent.
  void setBaseTempo(double base);

  // Applying the tempo (TempoController.cpp).
  void applyBPM(std::int64_t bpm);
  static void sendInOrder(std::shared_ptr<TempoController> self,
                          std::vector<ConsoleCommand> commands, std::size_t next, std::int64_t bpm);
  void tempoWritten(std::int64_t bpm);
  void sendUnsentTempo();
  void showTempoSent();
  void pressEffectKeys(Continuation done);
  void pressEffectKey(Continuation then);

  void handleMessage(const std::string& address, const std::vector<std::string>& arguments);
  void reactToErrorFeedback();

  // Following the Link session and the MIDI clock (TempoFollowing.cpp).
  enum class FollowedSource { linkSession, midiClock };
  void joinLinkSession();
  void leaveLinkSession();
  void linkSessionChanged(const TempoSessionState& state);
  void followTempo(double tempo, FollowedSource source);
  void forgetFollowedTempo(FollowedSource source);
  void followSession();

  // MIDI taps and the MIDI clock (MidiFollowing.cpp).
  void openMidiInput();
  void midiEventArrived(const MidiEvent& event);
  void midiClockArrived(const MidiEvent& event, MidiClockMessage message);
  void stopFollowingMidiClock();
  void restartMidiClock();
  void setMidiClockState(MidiClockState state);

  // Connection supervision (ConnectionSupervision.cpp).
  void startBackgroundTasks();
  void checkConnection();
  void connectToConsole(Continuation done);
  void scheduleReconnect();
  void linkWentDown(const link::LinkDown& why);
  void pingConsole();
  void pingAnswered(const std::vector<std::string>& arguments);
  void pingUnanswered(std::uint64_t ping);
  void forgetPings();
  [[nodiscard]] bool isAwaitingPing() const;

  // The seams come first so that they outlive the timers below, which are destroyed (and
  // so cancelled) first.
  std::shared_ptr<Executor> executor_;
  std::shared_ptr<const WallClock> clock_;
  std::shared_ptr<SettingsStore> defaults_;
  std::shared_ptr<link::ConsoleTransport> transport_;
  const link::ConsoleTimings timings_;
  std::shared_ptr<Log> log_;
  std::shared_ptr<TempoSession> linkSession_;
  std::shared_ptr<MidiInput> midiInput_;
  ObserverList<ObservedProperty> observers_;

  TapTempo tempo_;
  // The latest source's tempo before the multiplier, and the whole BPM it makes.
  std::optional<double> baseTempo_;
  std::optional<std::int64_t> bpm_;
  TempoMultiplier multiplier_ = TempoMultiplier::normal;
  bool isConnected_ = false;
  std::optional<link::LinkProblem> connectionProblem_;
  std::string eosIP_;
  std::string bpmFX_;
  std::string bpmMacro_;
  std::optional<SettingsError> settingsProblem_;

  // Where the tempo is: the last one whose commands were all written, and the one whose
  // commands are being written. hasUnsentTempo() as last shown to observers.
  std::optional<std::int64_t> tempoOnConsole_;
  std::optional<std::int64_t> tempoOnItsWay_;
  bool shownUnsent_ = false;

  // The followed session: its last reported state and the last tempo it had with peers.
  bool followsLink_ = false;
  std::optional<TempoSessionState> linkSessionState_;
  std::optional<double> linkTempo_;
  // The latest followed tempo, where it came from, and whether it still waits for the
  // interval to end.
  std::optional<double> followedTempo_;
  FollowedSource followedSource_ = FollowedSource::linkSession;
  bool followPending_ = false;

  // MIDI: the chosen sources, the tap's trigger (with its controller's state), the clock as
  // shown and as measured, and the last clock tempo followed (a new one must move by the
  // follow margin, so that the clock's jitter never takes the tempo back from taps).
  MidiSources midiSources_;
  std::optional<MidiInputState> midiInputState_;
  std::optional<MidiTapDetector> midiTap_;
  bool learnsMidiTap_ = false;
  bool followsMidiClock_ = false;
  MidiClockState midiClockState_;
  MidiClockTempo midiClock_;
  std::optional<double> midiClockTempo_;
  // The port the followed clock comes through; others are not heard until it stops.
  std::optional<unsigned> midiClockPort_;

  // Pings of the current connection. Once the console has answered one, a ping left
  // unanswered for the ping wait means it stopped reading; a tempo written after the last
  // answered ping was sent is then not known to have arrived.
  bool consoleAnswersPings_ = false;
  std::uint64_t pingsSent_ = 0;
  std::optional<std::uint64_t> awaitedPing_;
  std::uint64_t lastAnsweredPing_ = 0;
  std::uint64_t pingsSentBeforeTempo_ = 0;

  bool isPressingEffectKeys_ = false;
  bool hasResentBPM_ = false;
  // Attempts started so far: an attempt that fails after a newer one began does not decide
  // the connection state, the newer one does.
  std::uint64_t connectAttemptsStarted_ = 0;

  std::unique_ptr<ScheduledJob> reconnectTask_;
  std::unique_ptr<ScheduledJob> connectionCheckTask_;
  std::unique_ptr<ScheduledJob> effectKeyGapTask_;
  std::unique_ptr<ScheduledJob> pingWaitTask_;
  std::unique_ptr<ScheduledJob> followIntervalTask_;
  std::unique_ptr<ScheduledJob> midiClockSilenceTask_;
};

}  // namespace tempik::core
