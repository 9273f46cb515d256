#pragma once

#include <string>

namespace tempik::midi {

/// A source's name as ALSA lists it ("nanoPAD2:nanoPAD2 MIDI 1 20:0") without the sequencer's
/// client and port numbers, which change when the device is plugged in again: the name kept
/// in the settings must find it then too.
[[nodiscard]] std::string withoutAlsaAddress(std::string name);

}  // namespace tempik::midi
