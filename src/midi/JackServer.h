#pragma once

#include <functional>
#include <memory>
#include <string>

namespace tempik::midi {

/// The JACK server, as far as tempik's MIDI input must know it: whether one runs, and when it
/// goes away. Its MIDI ports are RtMidi's; this only holds a client without ports, whose
/// shutdown notice tells of the server's end at once, so nothing polls a running server.
///
/// Create and destroy it on one thread; onGone runs on JACK's own thread, once.
class JackServerWatch {
 public:
  using LogLine = std::function<void(std::string)>;

  /// Sends libjack's own messages to log instead of the terminal: it prints several lines
  /// for every try to reach a server that is not there. libjack keeps one such function
  /// for the whole process; the last call wins.
  static void routeMessages(LogLine log);

  /// Watches the running server; nothing when no server runs (none is started).
  static std::unique_ptr<JackServerWatch> start(std::function<void()> onGone);

  struct Client;
  struct Key {};
  JackServerWatch(Key, std::unique_ptr<Client> client);
  JackServerWatch(const JackServerWatch&) = delete;
  JackServerWatch& operator=(const JackServerWatch&) = delete;
  ~JackServerWatch();

 private:
  std::unique_ptr<Client> client_;
};

}  // namespace tempik::midi
