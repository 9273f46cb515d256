#include "LinkTestSupport.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace tempik::link::testing {

struct FakeConsole::Connection {
  int fd = -1;
  std::vector<std::uint8_t> received;
  bool peerClosed = false;
  std::thread reader;
};

FakeConsole::FakeConsole(bool accepting, int listenBacklog) {
  listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ::listen(listener_, listenBacklog) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("cannot listen on loopback");
  }
  port_ = ntohs(address.sin_port);
  if (accepting) acceptor_ = std::thread([this] { acceptLoop(); });
}

FakeConsole::~FakeConsole() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  ::shutdown(listener_, SHUT_RDWR);  // wakes accept()
  if (acceptor_.joinable()) acceptor_.join();
  ::close(listener_);
  for (const int fd : fillers_) ::close(fd);
  for (auto& connection : connections_) {
    if (connection->fd >= 0) ::shutdown(connection->fd, SHUT_RDWR);  // wakes read()
    if (connection->reader.joinable()) connection->reader.join();
    if (connection->fd >= 0) ::close(connection->fd);
  }
}

void FakeConsole::fillBacklog() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port_);
  if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    throw std::runtime_error("cannot connect to the listener");
  }
  fillers_.push_back(fd);
}

void FakeConsole::startAccepting() {
  ::listen(listener_, 16);  // room for the connects that were held back
  if (!acceptor_.joinable()) acceptor_ = std::thread([this] { acceptLoop(); });
}

void FakeConsole::acceptLoop() {
  for (;;) {
    const int fd = ::accept(listener_, nullptr, nullptr);
    std::lock_guard lock(mutex_);
    if (stopping_ || fd < 0) {
      if (fd >= 0) ::close(fd);
      return;
    }
    auto connection = std::make_unique<Connection>();
    connection->fd = fd;
    connection->reader = std::thread([this, raw = connection.get()] { readLoop(*raw); });
    connections_.push_back(std::move(connection));
    changed_.notify_all();
  }
}

void FakeConsole::readLoop(Connection& connection) {
  std::uint8_t buffer[64 * 1024];
  for (;;) {
    const ssize_t count = ::read(connection.fd, buffer, sizeof buffer);
    std::lock_guard lock(mutex_);
    if (count <= 0) {
      connection.peerClosed = true;
      changed_.notify_all();
      return;
    }
    connection.received.insert(connection.received.end(), buffer, buffer + count);
    changed_.notify_all();
  }
}

bool FakeConsole::waitForConnections(std::size_t count) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, kPatience, [&] { return connections_.size() >= count; });
}

std::size_t FakeConsole::connectionCount() const {
  std::lock_guard lock(mutex_);
  return connections_.size();
}

std::vector<std::uint8_t> FakeConsole::waitForBytes(std::size_t connection, std::size_t count) {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, kPatience, [&] {
    return connections_.size() > connection && connections_[connection]->received.size() >= count;
  });
  return connections_.size() > connection ? connections_[connection]->received
                                          : std::vector<std::uint8_t>{};
}

bool FakeConsole::waitForClose(std::size_t connection) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, kPatience, [&] {
    return connections_.size() > connection && connections_[connection]->peerClosed;
  });
}

std::vector<std::size_t> FakeConsole::waitForClosedCount(std::size_t count) {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, kPatience, [&] {
    std::size_t closed = 0;
    for (const auto& connection : connections_) closed += connection->peerClosed ? 1 : 0;
    return closed >= count;
  });
  std::vector<std::size_t> open;
  for (std::size_t i = 0; i < connections_.size(); ++i) {
    if (!connections_[i]->peerClosed) open.push_back(i);
  }
  return open;
}

void FakeConsole::write(std::size_t connection, const std::vector<std::uint8_t>& bytes) {
  int fd;
  {
    std::lock_guard lock(mutex_);
    fd = connections_.at(connection)->fd;
  }
  if (fd < 0) return;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t count = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (count <= 0) return;
    done += static_cast<std::size_t>(count);
  }
}

void FakeConsole::drop(std::size_t index, bool reset) {
  Connection* connection;
  {
    std::lock_guard lock(mutex_);
    connection = connections_.at(index).get();
  }
  if (!reset) {
    ::shutdown(connection->fd, SHUT_RDWR);
    return;
  }
  // Closing with a zero linger sends a reset; stop the reader first so the descriptor is free.
  const linger abortive{1, 0};
  ::setsockopt(connection->fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
  ::shutdown(connection->fd, SHUT_RD);
  connection->reader.join();
  ::close(connection->fd);
  std::lock_guard lock(mutex_);
  connection->fd = -1;
}

}  // namespace tempik::link::testing
