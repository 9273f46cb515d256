#pragma once

#include <QCoreApplication>
#include <QString>
#include <optional>

#include "core/MidiInput.h"
#include "core/MidiTrigger.h"
#include "core/TempoController.h"

namespace tempik::ui {

/// What the window says about MIDI, as shown (short, with " · " between its parts) and as a
/// screen reader hears it (in words). Plain functions of the controller's values.
class MidiWords {
  Q_DECLARE_TR_FUNCTIONS(tempik::ui::MidiWords)

 public:
  struct Text {
    QString shown;
    QString spoken;
    friend bool operator==(const Text&, const Text&) = default;
  };

  /// "Note 36 · ch 10", "CC 64 · ch 1" or "None".
  [[nodiscard]] static Text trigger(const std::optional<core::MidiTrigger>& trigger);
  /// While Learn waits for a note or a controller.
  [[nodiscard]] static Text learning();
  /// "MIDI: none found" where no MIDI system works; otherwise the sources tempik is connected
  /// to, then what went missing ("nanoPAD2 gone", "JACK gone").
  [[nodiscard]] static Text input(const std::optional<core::MidiInputState>& state);
  /// The followed clock: waiting, counting, its tempo ("126.0 BPM"), or stopped.
  [[nodiscard]] static Text clock(const core::MidiClockState& clock);
  /// A chosen source that is not there, as the picker lists it.
  [[nodiscard]] static QString absentSource(const QString& name);
};

}  // namespace tempik::ui
