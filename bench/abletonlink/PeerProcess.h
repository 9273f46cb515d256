#pragma once

// link-peer in a child process, so that its CPU time is its own.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

#include "net/UniqueFd.h"
#include "support/Recorder.h"

namespace tempik::bench {

/// link-peer in a child process, its output read on a thread. Leaving (q) ends it. The
/// members are called from one thread.
class PeerProcess {
 public:
  using Clock = std::chrono::steady_clock;

  explicit PeerProcess(const std::string& path) {
    int input[2], output[2];
    if (::pipe2(input, O_CLOEXEC) != 0 || ::pipe2(output, O_CLOEXEC) != 0) {
      throw std::runtime_error("no pipe for link-peer");
    }
    net::UniqueFd childInput(input[0]), childOutput(output[1]);
    input_ = net::UniqueFd(input[1]);
    output_ = net::UniqueFd(output[0]);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, childInput.get(), STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, childOutput.get(), STDOUT_FILENO);
    std::string program = path;
    char* arguments[] = {program.data(), nullptr};
    const int failed = ::posix_spawn(&pid_, path.c_str(), &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) throw std::runtime_error("cannot start " + path);
    reader_ = std::thread([this] { read(); });
  }

  ~PeerProcess() {
    if (::write(input_.get(), "q\n", 2) != 2) ::kill(pid_, SIGTERM);
    input_.reset();
    reader_.join();  // the output ends with the process
    ::waitpid(pid_, nullptr, 0);
  }
  PeerProcess(const PeerProcess&) = delete;
  PeerProcess& operator=(const PeerProcess&) = delete;

  /// Until the peer says it shares the session with at least count others.
  [[nodiscard]] bool waitForPeers(std::size_t count, Clock::duration deadline) const {
    return peers_.waitUntil([&](std::size_t peers) { return peers >= count; }, deadline);
  }

  /// The CPU time the process has used so far.
  [[nodiscard]] std::chrono::nanoseconds cpuTime() const {
    clockid_t clock{};
    timespec used{};
    if (::clock_getcpuclockid(pid_, &clock) != 0 || ::clock_gettime(clock, &used) != 0) {
      throw std::runtime_error("cannot read link-peer's CPU time");
    }
    return std::chrono::seconds(used.tv_sec) + std::chrono::nanoseconds(used.tv_nsec);
  }

 private:
  void read() {
    std::string pending;
    char buffer[256];
    for (;;) {
      const ssize_t size = ::read(output_.get(), buffer, sizeof buffer);
      if (size <= 0) return;
      pending.append(buffer, static_cast<std::size_t>(size));
      for (auto end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
        const std::string line = pending.substr(0, end);
        pending.erase(0, end + 1);
        if (line.rfind("peers ", 0) == 0) {
          peers_.change([&](std::size_t& peers) { peers = std::stoul(line.substr(6)); });
        }
      }
    }
  }

  pid_t pid_ = -1;
  net::UniqueFd input_, output_;
  fakes::Recorder<std::size_t> peers_;
  std::thread reader_;
};

}  // namespace tempik::bench
