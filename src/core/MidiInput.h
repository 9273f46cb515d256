#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/MidiMessage.h"

namespace tempik::core {

/// Which MIDI sources tempik connects itself to. Any source can also be connected to
/// tempik's own input port from outside, whatever is chosen here.
struct MidiSources {
  enum class Kind { all, none, named };
  Kind kind = Kind::all;
  /// The source's name, for named only.
  std::string name;
  friend bool operator==(const MidiSources&, const MidiSources&) = default;
};

/// The settings text: "all", "none", or the source's name; an empty text reads as all.
[[nodiscard]] std::string settingsText(const MidiSources& sources);
[[nodiscard]] MidiSources parseMidiSources(std::string_view text);

/// What the MIDI input has found, as last reported.
struct MidiInputState {
  /// The MIDI systems working on this machine ("ALSA", "JACK"); none means no MIDI at all.
  std::vector<std::string> systems;
  /// Every source there is now, by name, for picking one.
  std::vector<std::string> sources;
  /// The sources tempik is connected to.
  std::vector<std::string> connected;
  /// Systems and sources that were there and went away, until they return or are no longer
  /// wanted; a named source that is not there at all.
  std::vector<std::string> missing;
  friend bool operator==(const MidiInputState&, const MidiInputState&) = default;
};

/// The machine's MIDI input: tempik's own input port on every MIDI system that works, and
/// connections to the chosen sources, kept up as sources and systems come and go.
///
/// Runs on the controller's executor: open(), choose(), close() and both handlers run there.
/// The MIDI systems' own threads only post to it.
class MidiInput {
 public:
  using EventHandler = std::function<void(const MidiEvent&)>;
  using StateHandler = std::function<void(const MidiInputState&)>;

  virtual ~MidiInput() = default;

  /// Opens the input and connects the chosen sources. onState is called after each change
  /// of the state (first once the systems were tried), onEvent with each message, until
  /// close().
  virtual void open(MidiSources sources, EventHandler onEvent, StateHandler onState) = 0;
  /// Connects to other sources from now on.
  virtual void choose(MidiSources sources) = 0;
  /// Closes every port; no handler is called again, not even for a message on its way.
  virtual void close() = 0;
};

}  // namespace tempik::core
