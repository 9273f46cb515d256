#include "midi/RtMidiInput.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "midi/JackServer.h"
#include "midi/MidiPort.h"
#include "net/SerialQueue.h"
#include "net/WorkerPool.h"

#if defined(__linux__)
#include <unistd.h>
#endif

namespace tempik::midi {

namespace {

bool contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// Opening ALSA's sequencer where the kernel has none makes alsa-lib print on the terminal.
bool alsaSequencerPresent() {
#if defined(__linux__)
  return access("/dev/snd/seq", R_OK | W_OK) == 0;
#else
  return true;
#endif
}

}  // namespace

// The handlers, on the executor; gone once closed, so that nothing still on its way arrives.
struct RtMidiInput::Delivery {
  EventHandler onEvent;
  StateHandler onState;
};

// Every MIDI system and its ports, on the MIDI queue.
class RtMidiInput::Systems : public std::enable_shared_from_this<Systems> {
 public:
  using StateSink = std::function<void(core::MidiInputState)>;

  Systems(std::shared_ptr<net::SerialQueue> queue, Options options, MidiPort::Sink sink,
          StateSink report, MidiPort::LogLine log)
      : queue_(std::move(queue)),
        options_(std::move(options)),
        sink_(std::move(sink)),
        report_(std::move(report)),
        log_(std::move(log)) {
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    for (const RtMidi::Api api : apis) {
      if (api == RtMidi::RTMIDI_DUMMY) continue;
      // RtMidi calls JACK "Jack"; operators read "JACK" everywhere else.
      systems_.push_back(
          System{api, api == RtMidi::UNIX_JACK ? "JACK" : RtMidi::getApiDisplayName(api)});
    }
  }

  void choose(core::MidiSources sources) {
    chosen_ = std::move(sources);
    std::erase_if(goneSources_, [this](const std::string& name) { return !wanted(name); });
    scan();
  }

  void close() {
    scanTimer_.cancel();
    systems_.clear();
  }

 private:
  struct System {
    RtMidi::Api api;
    std::string name;
    std::unique_ptr<JackServerWatch> serverWatch{};
    std::unique_ptr<MidiPort> own{};
    std::map<std::string, std::unique_ptr<MidiPort>> connections{};
    std::vector<std::string> sources{};
    // Worked once and went away (the JACK server ended); failed where it cannot come back.
    bool gone = false;
    bool failed = false;
  };

  [[nodiscard]] bool wanted(const std::string& source) const {
    return chosen_.kind == core::MidiSources::Kind::all ||
           (chosen_.kind == core::MidiSources::Kind::named && chosen_.name == source);
  }

  void scan() {
    for (System& system : systems_) {
      if (!system.own) tryToOpen(system);
      if (system.own) connectChosen(system);
    }
    report();
    scanTimer_ = queue_->after(options_.scanInterval, [weak = weak_from_this()] {
      if (const auto self = weak.lock()) self->scan();
    });
  }

  void tryToOpen(System& system) {
    if (system.failed) return;
    if (system.api == RtMidi::UNIX_JACK) {
      system.serverWatch = JackServerWatch::start([weak = weak_from_this(), queue = queue_] {
        queue->async([weak] {
          if (const auto self = weak.lock()) self->jackServerGone();
        });
      });
      if (!system.serverWatch) return;
    } else if (system.api == RtMidi::LINUX_ALSA && !alsaSequencerPresent()) {
      return;
    }
    auto opened = MidiPort::own(system.api, options_.portName, nextSink(), log_);
    if (!opened.port) {
      log_("MIDI: cannot open " + system.name + ": " + opened.problem);
      // A JACK server that refuses is tried again at the next scan; the others stay as they are.
      system.failed = system.api != RtMidi::UNIX_JACK;
      system.serverWatch.reset();
      return;
    }
    log_("MIDI: tempik's port is open on " + system.name);
    system.own = std::move(opened.port);
    system.gone = false;
  }

  // A connection whose source went away ends; one that was wanted says so until the source
  // is back, or no longer wanted.
  void connectChosen(System& system) {
    system.sources = system.own->sources();
    std::erase_if(system.connections, [&](const auto& connection) {
      const std::string& source = connection.first;
      const bool listed = contains(system.sources, source);
      if (listed && wanted(source)) return false;
      if (!listed && wanted(source)) {
        log_("MIDI: " + source + " went away");
        goneSources_.insert(source);
      }
      return true;
    });
    for (const std::string& source : system.sources) {
      if (!wanted(source) || system.connections.contains(source)) continue;
      auto opened = MidiPort::connected(system.api, options_.portName, source, nextSink(), log_);
      if (!opened.port) {
        log_("MIDI: cannot connect to " + source + ": " + opened.problem);
        continue;
      }
      log_("MIDI: connected to " + source);
      goneSources_.erase(source);
      system.connections.emplace(source, std::move(opened.port));
    }
  }

  // Each port's messages carry a number of its own.
  MidiPort::Sink nextSink() {
    return [sink = sink_, port = ++portsOpened_](core::MidiEvent event) {
      event.port = port;
      sink(event);
    };
  }

  // Closing the clients of a server that is gone can wait on libjack's timeouts for seconds:
  // that is done on a worker, so that the queue (and the threads it shares) never waits.
  void jackServerGone() {
    for (System& system : systems_) {
      if (system.api != RtMidi::UNIX_JACK || !system.own) continue;
      log_("MIDI: the JACK server went away");
      auto dead = std::make_shared<System>(std::move(system));
      system = System{dead->api, dead->name};
      system.gone = true;
      net::WorkerPool::post([dead] { dead->connections.clear(), dead->own.reset(); });
    }
    report();
  }

  void report() {
    core::MidiInputState state;
    for (const System& system : systems_) {
      if (system.gone) state.missing.push_back(system.name);
      if (!system.own) continue;
      state.systems.push_back(system.name);
      state.sources.insert(state.sources.end(), system.sources.begin(), system.sources.end());
      for (const auto& connection : system.connections) state.connected.push_back(connection.first);
    }
    state.missing.insert(state.missing.end(), goneSources_.begin(), goneSources_.end());
    if (chosen_.kind == core::MidiSources::Kind::named && !contains(state.sources, chosen_.name) &&
        !goneSources_.contains(chosen_.name)) {
      state.missing.push_back(chosen_.name);
    }
    if (reported_ == state) return;
    reported_ = state;
    report_(std::move(state));
  }

  const std::shared_ptr<net::SerialQueue> queue_;
  const Options options_;
  const MidiPort::Sink sink_;
  const StateSink report_;
  const MidiPort::LogLine log_;
  std::vector<System> systems_;
  core::MidiSources chosen_;
  std::set<std::string> goneSources_;
  std::optional<core::MidiInputState> reported_;
  unsigned portsOpened_ = 0;
  net::OneShotTimer scanTimer_;
};

RtMidiInput::RtMidiInput(std::shared_ptr<core::Executor> executor, std::shared_ptr<core::Log> log,
                         Options options)
    : executor_(std::move(executor)),
      log_(std::move(log)),
      options_(std::move(options)),
      queue_(net::SerialQueue::create("midi")) {}

RtMidiInput::~RtMidiInput() {
  close();
}

void RtMidiInput::open(core::MidiSources sources, EventHandler onEvent, StateHandler onState) {
  if (systems_) return;
  delivery_ = std::make_shared<Delivery>(Delivery{std::move(onEvent), std::move(onState)});
  const std::weak_ptr<core::Executor> executor = executor_;
  const std::weak_ptr<Delivery> delivery = delivery_;
  auto sink = [executor, delivery](const core::MidiEvent& event) {
    if (const auto target = executor.lock()) {
      target->post([delivery, event] {
        if (const auto handlers = delivery.lock()) handlers->onEvent(event);
      });
    }
  };
  auto report = [executor, delivery](core::MidiInputState state) {
    if (const auto target = executor.lock()) {
      target->post([delivery, state = std::move(state)] {
        if (const auto handlers = delivery.lock()) handlers->onState(state);
      });
    }
  };
  auto logLine = [executor, log = std::weak_ptr<core::Log>(log_)](std::string line) {
    const auto target = executor.lock();
    if (!target || log.expired()) return;
    target->post([log, line = std::move(line)] {
      const auto sink = log.lock();
      if (sink && sink->isEnabled(core::LogTopic::midi)) sink->write(core::LogTopic::midi, line);
    });
  };
  JackServerWatch::routeMessages(logLine);
  systems_ = std::make_shared<Systems>(queue_, options_, std::move(sink), std::move(report),
                                       std::move(logLine));
  queue_->async([systems = systems_, sources = std::move(sources)]() mutable {
    systems->choose(std::move(sources));
  });
}

void RtMidiInput::choose(core::MidiSources sources) {
  if (!systems_) return;
  queue_->async([systems = systems_, sources = std::move(sources)]() mutable {
    systems->choose(std::move(sources));
  });
}

void RtMidiInput::close() {
  if (!systems_) return;
  delivery_.reset();
  queue_->sync([systems = std::exchange(systems_, nullptr)] { systems->close(); });
  JackServerWatch::routeMessages(nullptr);
}

}  // namespace tempik::midi
