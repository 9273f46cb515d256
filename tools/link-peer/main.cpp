// link-peer: a bare Ableton Link peer for demos, screenshots and the Link benchmark. It joins
// the session, prints what changes in it and sets its tempo only when told to.
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <ableton/Link.hpp>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "net/UniqueFd.h"

namespace {

constexpr const char* kUsage =
    R"(Usage: link-peer [--tempo BPM] [--any-network] [--help]

A bare Ableton Link peer. It joins the Link session on the network, or founds one while
there is none, and prints one line per change:
  peers N   how many other peers share the session
  tempo T   the session's tempo, with two decimals
The first two lines are its own state before it joins. It never changes the session by
itself, only on command. Commands on standard input, one per line:
  BPM       set the session's tempo (20 to 999), for every peer
  q         leave the session and quit
At the end of input it keeps running until q or a signal (SIGINT, SIGTERM, SIGHUP).

Link announces itself by multicast on every network interface that is up. So that a demo
never reaches a real network, link-peer starts only with TEMPIK_PRIVATE_NETWORK=1, which
scripts/private-network sets in a network namespace of its own with only loopback:
  scripts/private-network build/dev/tools/link-peer/link-peer

Options:
  --tempo BPM    the tempo of the session it founds while alone (20 to 999, default 120)
  --any-network  start outside a private network too: Link then announces this peer on
                 every network interface that is up
  --help         show this text

Exit status: 0 after q or a signal, 1 when the system refuses a signal descriptor, 2 on bad
usage or outside a private network.
)";

constexpr double kMinTempo = 20;
constexpr double kMaxTempo = 999;

struct Options {
  double tempo = 120;
  bool anyNetwork = false;
};

[[noreturn]] void usageError(const std::string& message) {
  std::fprintf(stderr, "link-peer: %s\nTry 'link-peer --help'.\n", message.c_str());
  std::exit(2);
}

std::optional<double> parseTempo(std::string_view text) {
  double tempo = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), tempo);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size() ||
      !(tempo >= kMinTempo && tempo <= kMaxTempo)) {
    return std::nullopt;
  }
  return tempo;
}

Options parseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--help" || argument == "-h") {
      std::fputs(kUsage, stdout);
      std::exit(0);
    } else if (argument == "--any-network") {
      options.anyNetwork = true;
    } else if (argument == "--tempo") {
      if (i + 1 >= argc) usageError("--tempo needs a value");
      const auto tempo = parseTempo(argv[++i]);
      if (!tempo)
        usageError("--tempo needs a number from 20 to 999, got '" + std::string(argv[i]) + "'");
      options.tempo = *tempo;
    } else {
      usageError("unknown argument '" + std::string(argument) + "'");
    }
  }
  return options;
}

/// Whole lines on standard output, flushed at once (a script reads them as they come). Link's
/// threads and the main thread both print.
class Printer {
 public:
  void line(const char* format, auto value) {
    const std::lock_guard lock(mutex_);
    std::printf(format, value);
    std::fflush(stdout);
  }

 private:
  std::mutex mutex_;
};

/// One command line; false once the peer is to quit.
bool obey(std::string_view command, ableton::Link& link) {
  const auto first = command.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return true;
  command = command.substr(first, command.find_last_not_of(" \t\r") - first + 1);
  if (command == "q") return false;
  if (const auto tempo = parseTempo(command)) {
    auto state = link.captureAppSessionState();
    state.setTempo(*tempo, link.clock().micros());
    link.commitAppSessionState(state);
  } else {
    std::fprintf(stderr, "link-peer: '%.*s' is neither a tempo (20 to 999) nor q\n",
                 static_cast<int>(command.size()), command.data());
  }
  return true;
}

/// Reads commands until q, the end of input or a signal; after the end of input it waits for a
/// signal. The signals arrive on a descriptor, so Link is left in order however the peer ends.
void obeyUntilQuit(ableton::Link& link, int signals) {
  std::string pending;
  bool inputOpen = true;
  for (;;) {
    pollfd sources[] = {{signals, POLLIN, 0}, {inputOpen ? STDIN_FILENO : -1, POLLIN, 0}};
    if (::poll(sources, 2, -1) < 0) continue;  // EINTR: poll again
    if (sources[0].revents != 0) return;
    if (sources[1].revents == 0) continue;
    char buffer[256];
    const ssize_t size = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (size <= 0) {
      inputOpen = false;
      if (!pending.empty() && !obey(pending, link)) return;
      continue;
    }
    pending.append(buffer, static_cast<std::size_t>(size));
    for (auto end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
      const std::string command = pending.substr(0, end);
      pending.erase(0, end + 1);
      if (!obey(command, link)) return;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = parseOptions(argc, argv);
  const char* privateNetwork = std::getenv("TEMPIK_PRIVATE_NETWORK");
  if (!options.anyNetwork &&
      (privateNetwork == nullptr || std::string_view(privateNetwork) != "1")) {
    std::fputs(
        "link-peer: not in a private network (TEMPIK_PRIVATE_NETWORK is not 1): Link would "
        "announce itself on every interface that is up.\nRun it under scripts/private-network, "
        "or give --any-network.\n",
        stderr);
    return 2;
  }
  if (options.anyNetwork) {
    std::fputs("link-peer: announcing this peer on every network interface that is up\n", stderr);
  }

  // Blocked before Link starts its threads, which inherit the mask: only the descriptor hears
  // them.
  sigset_t quitSignals;
  sigemptyset(&quitSignals);
  sigaddset(&quitSignals, SIGINT);
  sigaddset(&quitSignals, SIGTERM);
  sigaddset(&quitSignals, SIGHUP);
  ::sigprocmask(SIG_BLOCK, &quitSignals, nullptr);
  const tempik::net::UniqueFd signals(::signalfd(-1, &quitSignals, SFD_CLOEXEC));
  if (!signals) {
    std::perror("link-peer: signalfd");
    return 1;
  }

  Printer printer;
  {
    ableton::Link link(options.tempo);
    printer.line("peers %zu\n", link.numPeers());
    printer.line("tempo %.2f\n", link.captureAppSessionState().tempo());
    link.setNumPeersCallback([&printer](std::size_t peers) { printer.line("peers %zu\n", peers); });
    link.setTempoCallback([&printer](double tempo) { printer.line("tempo %.2f\n", tempo); });
    link.enable(true);
    obeyUntilQuit(link, signals.get());
    // Destroying Link tells the peers that this one left and stops its threads, which still
    // use the printer.
  }
  return 0;
}
