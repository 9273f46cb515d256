#include "ui/MidiWords.h"

#include <QStringList>

namespace tempik::ui {
namespace {

const QString dot = QStringLiteral(" · ");
// More connected sources than this are counted rather than named: the line stays one line.
constexpr qsizetype namedSources = 3;

QStringList names(const std::vector<std::string>& values) {
  QStringList list;
  for (const auto& value : values) list << QString::fromStdString(value);
  return list;
}

}  // namespace

MidiWords::Text MidiWords::trigger(const std::optional<core::MidiTrigger>& trigger) {
  //: No MIDI tap learned, as shown and as spoken.
  if (!trigger) return {tr("None"), tr("none")};
  const QString number = QString::number(trigger->number);
  const QString channel = QString::number(trigger->channel);
  if (trigger->kind == core::MidiTrigger::Kind::note) {
    //: The MIDI tap, short: note number %1 on MIDI channel %2.
    return {tr("Note %1 · ch %2").arg(number, channel),
            tr("note %1 on channel %2").arg(number, channel)};
  }
  //: The MIDI tap, short: controller (control change) number %1 on MIDI channel %2.
  return {tr("CC %1 · ch %2").arg(number, channel),
          tr("controller %1 on channel %2").arg(number, channel)};
}

MidiWords::Text MidiWords::learning() {
  //: While Learn waits for the pad, key or pedal to be hit.
  return {tr("Waiting for MIDI…"), tr("waiting for a note or a controller")};
}

MidiWords::Text MidiWords::input(const std::optional<core::MidiInputState>& state) {
  if (!state) return {tr("MIDI · looking for sources…"), tr("MIDI: looking for sources")};
  QStringList shown;
  QStringList spoken;
  if (state->systems.empty()) {
    shown << tr("MIDI: none found");
    spoken << tr("MIDI: none found");
  } else {
    const QStringList connected = names(state->connected);
    QString sources;
    if (connected.isEmpty()) {
      sources = tr("no source connected");
    } else if (connected.size() > namedSources) {
      sources = tr("%n source(s) connected", nullptr, static_cast<int>(connected.size()));
    } else {
      sources = connected.join(QStringLiteral(", "));
    }
    shown << tr("MIDI") << sources;
    spoken << (connected.isEmpty() || connected.size() > namedSources
                   ? tr("MIDI: %1").arg(sources)
                   : tr("MIDI: connected to %1").arg(sources));
  }
  //: %1 is a MIDI source ("nanoPAD2") or MIDI system ("JACK") that went away.
  for (const QString& gone : names(state->missing)) {
    shown << tr("%1 gone").arg(gone);
    spoken << tr("%1 gone").arg(gone);
  }
  return {shown.join(dot), spoken.join(QStringLiteral(". "))};
}

MidiWords::Text MidiWords::clock(const core::MidiClockState& clock) {
  using Phase = core::MidiClockState::Phase;
  switch (clock.phase) {
    case Phase::waiting:
      return {tr("MIDI clock · waiting…"), tr("MIDI clock: waiting for a clock")};
    case Phase::counting:
      return {tr("MIDI clock · counting…"), tr("MIDI clock: counting the first beats")};
    case Phase::running:
      if (clock.tempo) {
        const QString tempo = QString::number(*clock.tempo, 'f', 1);
        return {tr("MIDI clock · %1 BPM").arg(tempo), tr("MIDI clock: %1 BPM").arg(tempo)};
      }
      break;
    case Phase::stopped:
      break;
  }
  return {tr("MIDI clock · stopped"), tr("MIDI clock: stopped")};
}

QString MidiWords::absentSource(const QString& name) {
  //: %1 is a chosen MIDI source that is not plugged in.
  return tr("%1 (not found)").arg(name);
}

}  // namespace tempik::ui
