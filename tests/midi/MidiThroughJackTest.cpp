// tempik's MIDI input through a real JACK server of the test's own (dummy driver, no real
// time, no sound card), with the console on loopback: a pad, a clock tempik did not write, and
// the server going away and coming back.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "ControllerUnderTest.h"
#include "midi/RtMidiInput.h"

namespace tempik::faults {
namespace {

// A program the test starts, given standard input as a text; stopped when the object goes.
class Child {
 public:
  explicit Child(std::vector<std::string> arguments, const std::string& input = {}) {
    int pipeEnds[2];
    EXPECT_EQ(pipe(pipeEnds), 0);
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
      // Ends with the test, however the test ends.
      prctl(PR_SET_PDEATHSIG, SIGTERM);
      dup2(pipeEnds[0], STDIN_FILENO);
      dup2(open("/dev/null", O_WRONLY), STDOUT_FILENO);
      close(pipeEnds[1]);
      execvp(argv[0], argv.data());
      _exit(127);
    }
    running_ = pid_ > 0;
    close(pipeEnds[0]);
    // A program that ends before reading its input must not end the test.
    signal(SIGPIPE, SIG_IGN);
    EXPECT_EQ(write(pipeEnds[1], input.data(), input.size()), ssize_t(input.size()));
    close(pipeEnds[1]);
  }
  ~Child() { stop(); }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  /// The exit status, once it ended by itself.
  int wait() { return running_ = false, waitpid(pid_, &status_, 0), status_; }
  void stop() {
    if (running_) kill(pid_, SIGTERM), wait();
  }

 private:
  pid_t pid_ = 0;
  int status_ = 0;
  bool running_ = false;
};

// jackd, ready once made.
std::unique_ptr<Child> startJack(const std::string& name) {
  auto server = std::make_unique<Child>(
      std::vector<std::string>{"jackd", "-n", name, "--no-realtime", "-d", "dummy"});
  EXPECT_EQ(Child({"jack_wait", "--wait", "--timeout", "20"}).wait(), 0) << "jackd not ready";
  return server;
}

using Names = std::vector<std::string>;
bool contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

TEST(MidiThroughJack, APadTapsAClockIsFollowedAndTheServerMayComeAndGo) {
  if (!std::getenv("TEMPIK_PRIVATE_NETWORK") || system("command -v jackd >/dev/null") != 0) {
    GTEST_SKIP()
        << "needs jackd (Debian: jackd2), in a private namespace (scripts/private-network)";
  }
  const std::string name = "tempik-test-" + std::to_string(getpid());
  setenv("JACK_DEFAULT_SERVER", name.c_str(), 1);
  auto jack = startJack(name);
  const auto console = consoleOnItsPort();
  ControllerUnderTest tempik({{"eosIP", console->host()},
                              {"bpmFX", "1"},
                              {"midiTap", "note 1 36"},
                              {"midiInput", "none"},
                              {"followMidiClock", "true"}},
                             {}, [](std::shared_ptr<core::Executor> executor) {
                               return std::make_shared<midi::RtMidiInput>(
                                   executor, nullptr,
                                   midi::RtMidiInput::Options{.scanInterval = 200ms});
                             });
  const auto midiIs = [&](auto wanted) {
    return tempik.midiInput.waitUntil([&](const auto& s) { return s && wanted(*s); }, patience);
  };
  ASSERT_TRUE(midiIs([](auto& s) { return contains(s.systems, "JACK"); }));
  const auto consoleGets = [&](std::size_t commands, const char* command) {
    return console->waitFor(tempoCommand, commands) &&
           console->log().to(tempoCommand).back().arguments[0] == command;
  };

  // A pad connected to tempik's own port from outside: jack_midiseq plays note 36 on channel 1
  // every 24000 samples (half a second at the dummy driver's 48 kHz), to the sample.
  Child pad({"jack_midiseq", "pad", "24000", "0", "36", "2000"});
  ASSERT_TRUE(
      midiIs([](auto& s) { return contains(s.sources, "pad:out") && s.connected.empty(); }));
  EXPECT_EQ(Child({"jack_connect", "pad:out", "tempik:tempik"}).wait(), 0);
  EXPECT_TRUE(consoleGets(1, "Effect 1 BPM 120#"));
  pad.stop();

  // A clock from another program, which tempik connects itself to once told to take every
  // source, jittered by 2 %.
  tempik.onUiThread([](core::TempoController& c) { return c.setMidiSources({}), 0; });
  Child clock({"jack_midi_clock", "--bpm", "126", "--force-bpm", "--jitter-level", "2"});
  ASSERT_TRUE(midiIs([](auto& s) { return contains(s.connected, "jack_midi_clock:mclk_out"); }));
  EXPECT_EQ(Child({"jack_transport"}, "play\nquit\n").wait(), 0);
  EXPECT_TRUE(consoleGets(2, "Effect 1 BPM 126#"));
  // Another source chosen: the clock is let go, and the absent choice is named.
  tempik.onUiThread([](core::TempoController& c) {
    return c.setMidiSources({core::MidiSources::Kind::named, "nanoPAD2"}), 0;
  });
  EXPECT_TRUE(
      midiIs([](auto& s) { return s.connected.empty() && s.missing == Names{"nanoPAD2"}; }));

  // The server goes: tempik says so, and takes it up again when it is back.
  clock.stop();
  jack.reset();
  EXPECT_TRUE(midiIs([](auto& s) { return s.systems.empty() && contains(s.missing, "JACK"); }));
  jack = startJack(name);
  EXPECT_TRUE(
      midiIs([](auto& s) { return contains(s.systems, "JACK") && !contains(s.missing, "JACK"); }));
}

}  // namespace
}  // namespace tempik::faults
