// eos-sim: a stand-in Eos console for trying tempik without a desk, and for end-to-end tests.
#include <asio/io_context.hpp>
#include <asio/ip/address.hpp>
#include <asio/post.hpp>
#include <asio/signal_set.hpp>
#include <asio/steady_timer.hpp>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <random>
#include <string>
#include <thread>

#include "Console.h"
#include "EventPrinter.h"

namespace {

using tempik::eossim::Console;
using tempik::eossim::EventPrinter;

constexpr const char* kUsage =
    R"(Usage: eos-sim [--listen HOST:PORT] [--json] [--tap-bpm N] [--help]

A stand-in ETC Eos console. Listens for TCP connections (several clients at once), speaks
OSC with SLIP framing, and prints every message it receives on one line: time, client,
address, type tags and arguments. Like Eos, it answers "/eos/ping" with "/eos/out/ping" and
the same arguments (not while s holds it, since it then reads nothing).

Options:
  --listen HOST:PORT  where to listen (default 127.0.0.1:3038; IPv6 as [::1]:3038;
                      port 0 picks a free port, printed on the first line)
  --json              print JSON lines instead of text, for scripts
  --tap-bpm N         send "/tempik/tap" to every client N times a minute (1 to 1000)
  --no-ping           do not answer "/eos/ping", as a console whose software has no ping
  --help              show this text

Commands on standard input, one per line:
  t   send "/tempik/tap"
  e   send "/eos/out/user/20/cmd" with "LIVE: Effect Not Running"
  c   send "/eos/out/user/20/cmd" with "LIVE: Cue List Does Not Exist"
  d   drop every connection
  r   reset every connection (as a console that crashed or lost power)
  s   stop reading from the clients (their writes back up and pings go unanswered),
      or read again
  g   send garbage: 4 KiB of random bytes, then a frame that is no OSC packet
  q   quit

Exit status: 0 after q or a signal, 1 when the address cannot be listened on, 2 on bad usage.
)";

struct Options {
  std::string host = "127.0.0.1";
  std::uint16_t port = 3038;
  bool json = false;
  bool answerPings = true;
  std::optional<double> tapBPM;
};

[[noreturn]] void usageError(const std::string& message) {
  std::fprintf(stderr, "eos-sim: %s\nTry 'eos-sim --help'.\n", message.c_str());
  std::exit(2);
}

std::optional<std::uint16_t> parsePort(std::string_view text) {
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value > 65535) {
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(value);
}

void parseListen(const std::string& text, Options& options) {
  const auto colon = text.rfind(':');
  if (colon == std::string::npos) usageError("--listen needs HOST:PORT, got '" + text + "'");
  std::string host = text.substr(0, colon);
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  }
  const auto port = parsePort(std::string_view(text).substr(colon + 1));
  if (host.empty() || !port) usageError("--listen needs HOST:PORT, got '" + text + "'");
  options.host = host;
  options.port = *port;
}

Options parseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    const auto value = [&]() -> std::string {
      if (i + 1 >= argc) usageError(argument + " needs a value");
      return argv[++i];
    };
    if (argument == "--help" || argument == "-h") {
      std::fputs(kUsage, stdout);
      std::exit(0);
    } else if (argument == "--json") {
      options.json = true;
    } else if (argument == "--no-ping") {
      options.answerPings = false;
    } else if (argument == "--listen") {
      parseListen(value(), options);
    } else if (argument == "--tap-bpm") {
      const std::string text = value();
      char* end = nullptr;
      const double bpm = std::strtod(text.c_str(), &end);
      if (end == text.c_str() || *end != '\0' || !(bpm >= 1 && bpm <= 1000)) {
        usageError("--tap-bpm needs a number from 1 to 1000, got '" + text + "'");
      }
      options.tapBPM = bpm;
    } else {
      usageError("unknown argument '" + argument + "'");
    }
  }
  return options;
}

std::optional<asio::ip::address> listenAddress(const std::string& host) {
  if (host == "localhost") return asio::ip::address_v4::loopback();
  std::error_code error;
  const auto address = asio::ip::make_address(host, error);
  if (error) return std::nullopt;
  return address;
}

class Session {
 public:
  Session(asio::io_context& io, Console& console, const EventPrinter& printer)
      : io_(io), console_(console), printer_(printer), tapTimer_(io) {}

  void command(const std::string& line) {
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) return;
    const std::string command = line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
    if (command == "t") {
      tap();
    } else if (command == "e") {
      feedback("LIVE: Effect Not Running");
    } else if (command == "c") {
      feedback("LIVE: Cue List Does Not Exist");
    } else if (command == "d" || command == "r") {
      const auto how = command == "d" ? Console::Close::orderly : Console::Close::reset;
      printer_.dropped(console_.drop(how).size());
    } else if (command == "s") {
      console_.setReading(!console_.isReading());
      printer_.note(console_.isReading() ? "reading again" : "stopped reading");
    } else if (command == "g") {
      garbage();
    } else if (command == "q") {
      io_.stop();
    } else {
      printer_.note("unknown command '" + command + "' (t, e, c, d, r, s, g or q)");
    }
  }

  void tapEvery(std::chrono::steady_clock::duration period) {
    tapPeriod_ = period;
    nextTap_ = std::chrono::steady_clock::now() + period;
    scheduleTap();
  }

 private:
  void tap() {
    printer_.sent("/tempik/tap", console_.send(tempik::osc::OSCMessage("/tempik/tap")));
  }

  void feedback(const std::string& text) {
    const tempik::osc::OSCMessage message("/eos/out/user/20/cmd", {text});
    printer_.sent("/eos/out/user/20/cmd \"" + text + "\"", console_.send(message));
  }

  void garbage() {
    tempik::link::Bytes bytes(4096);
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random_());
    const std::uint8_t notAPacket[] = {'x', 0, 0, 0};
    const auto frame = tempik::link::slipEncode(notAPacket);
    bytes.insert(bytes.end(), frame.begin(), frame.end());
    printer_.sent("4 KiB of garbage and a frame that is no OSC packet",
                  console_.sendBytes(std::move(bytes)));
  }

  void scheduleTap() {
    tapTimer_.expires_at(nextTap_);
    tapTimer_.async_wait([this](std::error_code error) {
      if (error) return;
      tap();
      nextTap_ += tapPeriod_;  // no drift: each tap is due one period after the last was due
      scheduleTap();
    });
  }

  asio::io_context& io_;
  Console& console_;
  const EventPrinter& printer_;
  std::minstd_rand random_{std::random_device{}()};
  asio::steady_timer tapTimer_;
  std::chrono::steady_clock::duration tapPeriod_{};
  std::chrono::steady_clock::time_point nextTap_;
};

// Reads command lines on a thread of its own and hands each to the session's thread. At the
// end of input it stops reading; the simulator keeps running until q or a signal.
void readCommands(asio::io_context& io, Session& session) {
  std::thread([&io, &session] {
    std::string line;
    while (std::getline(std::cin, line)) {
      asio::post(io, [&session, line] { session.command(line); });
    }
  }).detach();
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = parseOptions(argc, argv);
  EventPrinter printer(options.json);
  const auto address = listenAddress(options.host);
  if (!address) usageError("'" + options.host + "' is not an IP address");

  asio::io_context io;
  std::optional<Console> console;
  try {
    console.emplace(io, asio::ip::tcp::endpoint(*address, options.port), printer);
  } catch (const asio::system_error& error) {
    std::fprintf(stderr, "eos-sim: cannot listen on %s:%u: %s\n", options.host.c_str(),
                 static_cast<unsigned>(options.port), error.code().message().c_str());
    return 1;
  }
  console->setAnsweringPings(options.answerPings);
  printer.listening(address->to_string(), console->localEndpoint().port());

  Session session(io, *console, printer);
  if (options.tapBPM) {
    session.tapEvery(std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(60.0 / *options.tapBPM)));
  }
  asio::signal_set signals(io, SIGINT, SIGTERM);
  signals.async_wait([&io](std::error_code, int) { io.stop(); });
  readCommands(io, session);
  io.run();
  // The command reader may still be blocked on standard input: leave without unwinding.
  std::fflush(stdout);
  std::_Exit(0);
}
