// The console stand-in, driven as a separate process the way scripts drive it.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <regex>

#include "LinkTestSupport.h"
#include "link/EosOscTransport.h"
#include "net/SerialQueue.h"

namespace tempik::link {
namespace {

using testing::Inbox;

class Process {
 public:
  explicit Process(std::vector<std::string> arguments) {
    int in[2], out[2], err[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0 || ::pipe(err) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    for (const int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) {
      posix_spawn_file_actions_addclose(&actions, fd);
    }
    arguments.insert(arguments.begin(), EOS_SIM_PATH);
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, EOS_SIM_PATH, &actions, nullptr, argv.data(), environ) != 0) {
      throw std::runtime_error("cannot start eos-sim");
    }
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]), ::close(out[1]), ::close(err[1]);
    stdin_ = in[1], stdout_ = out[0], stderr_ = err[0];
  }

  ~Process() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    ::close(stdin_), ::close(stdout_), ::close(stderr_);
  }

  void write(const std::string& text) {
    ASSERT_EQ(::write(stdin_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }

  /// The next line of standard output (or error), or nothing once the deadline passes.
  std::optional<std::string> readLine(bool fromStderr = false) {
    const int fd = fromStderr ? stderr_ : stdout_;
    std::string& buffer = fromStderr ? errBuffer_ : outBuffer_;
    const auto deadline = std::chrono::steady_clock::now() + testing::kPatience;
    for (;;) {
      if (const auto end = buffer.find('\n'); end != std::string::npos) {
        std::string line = buffer.substr(0, end);
        buffer.erase(0, end + 1);
        return line;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd ready{fd, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0) return {};
      char chunk[4096];
      const ssize_t count = ::read(fd, chunk, sizeof chunk);
      if (count <= 0) return {};
      buffer.append(chunk, static_cast<std::size_t>(count));
    }
  }

  /// Waits for the exit status (the process is expected to end by itself).
  int wait() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
  int stdin_ = -1, stdout_ = -1, stderr_ = -1;
  std::string outBuffer_, errBuffer_;
};

std::optional<std::string> lineContaining(Process& process, const std::string& text) {
  while (auto line = process.readLine()) {
    if (line->find(text) != std::string::npos) return line;
  }
  return std::nullopt;
}

TEST(EosSim, PrintsWhatItReceivesAndSendsOnCommand) {
  Process sim({"--listen", "127.0.0.1:0", "--json"});
  const auto listening = sim.readLine();
  ASSERT_TRUE(listening.has_value());
  std::smatch port;
  ASSERT_TRUE(std::regex_search(*listening, port, std::regex(R"("port":(\d+))")));

  auto completions = net::SerialQueue::create("test.completions");
  auto transport = EosOscTransport::create(
      [completions](std::function<void()> job) { completions->async(std::move(job)); });
  auto received = std::make_shared<Inbox<std::string>>();
  transport->setReceiveHandler(
      [received](const std::string& address, const std::vector<std::string>&) {
        received->push(address);
      },
      {});
  auto connected = std::make_shared<Inbox<ConnectOutcome>>();
  transport->connect("127.0.0.1", std::stoi(port[1]),
                     [connected](ConnectOutcome outcome) { connected->push(outcome); });
  ASSERT_EQ(connected->pop(), ConnectOutcome{false});
  transport->send("/eos/user/20/newcmd", {"Effect 1 BPM 120#"}, {});
  EXPECT_TRUE(lineContaining(
      sim, R"("address":"/eos/user/20/newcmd","tags":",s","args":["Effect 1 BPM 120#"])"));

  sim.write("t\n");
  EXPECT_EQ(received->pop(), "/tempik/tap");

  // A second simulator cannot take the same port.
  Process second({"--listen", "127.0.0.1:" + port[1].str()});
  const auto error = second.readLine(/*fromStderr=*/true);
  ASSERT_TRUE(error.has_value());
  EXPECT_NE(error->find("cannot listen on 127.0.0.1:" + port[1].str()), std::string::npos)
      << *error;
  EXPECT_EQ(second.wait(), 1);

  sim.write("q\n");
  EXPECT_EQ(sim.wait(), 0);
}

}  // namespace
}  // namespace tempik::link
