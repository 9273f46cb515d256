#include "LoopbackConsole.h"

#include <asio/bind_executor.hpp>
#include <asio/post.hpp>
#include <asio/write.hpp>
#include <random>
#include <stdexcept>

#include "link/OSCTCPFraming.h"
#include "link/SlipStreamDecoder.h"
#include "osc/OSCErrors.h"
#include "osc/OSCMessage.h"

namespace tempik::core {

struct LoopbackConsole::Connection {
  explicit Connection(asio::ip::tcp::socket socket, std::size_t number)
      : socket(std::move(socket)), number(number) {}
  asio::ip::tcp::socket socket;
  std::size_t number;
  std::array<std::uint8_t, 4096> buffer{};
  link::SlipStreamDecoder decoder;
};

LoopbackConsole::LoopbackConsole() {
  std::random_device random;
  std::uniform_int_distribution<int> octet(1, 254);
  for (int tries = 0; tries < 20 && !acceptor_.is_open(); ++tries) {
    const std::string host = "127." + std::to_string(octet(random)) + "." +
                             std::to_string(octet(random)) + "." + std::to_string(octet(random));
    const asio::ip::tcp::endpoint endpoint(asio::ip::make_address(host), 3038);
    asio::error_code error;
    acceptor_.open(endpoint.protocol(), error);
    if (!error) acceptor_.set_option(asio::socket_base::reuse_address(true), error);
    if (!error) acceptor_.bind(endpoint, error);
    if (!error) acceptor_.listen(asio::socket_base::max_listen_connections, error);
    if (error) {
      acceptor_.close();
      continue;
    }
    host_ = host;
  }
  if (!acceptor_.is_open()) throw std::runtime_error("no free loopback address for port 3038");
  accept();
  thread_ = std::thread([this] { io_.run(); });
}

LoopbackConsole::~LoopbackConsole() {
  dropConnections();
  asio::post(io_, [this] {
    acceptor_.close();
    io_.stop();
  });
  thread_.join();
}

void LoopbackConsole::accept() {
  acceptor_.async_accept([this](asio::error_code error, asio::ip::tcp::socket socket) {
    if (error) return;
    std::size_t number = 0;
    {
      const std::lock_guard lock(mutex_);
      number = accepted_++;
    }
    auto connection = std::make_shared<Connection>(std::move(socket), number);
    connections_.push_back(connection);
    changed_.notify_all();
    read(connection);
    accept();
  });
}

void LoopbackConsole::read(const std::shared_ptr<Connection>& connection) {
  connection->socket.async_read_some(asio::buffer(connection->buffer), [this, connection](
                                                                           asio::error_code error,
                                                                           std::size_t size) {
    if (error) return;
    const auto now = std::chrono::steady_clock::now();
    connection->decoder.feed(
        link::ByteView(connection->buffer.data(), size), [&](link::ByteView frame) {
          try {
            const osc::OSCMessage message = osc::OSCMessage::decode(frame);
            Received received{message.addressPattern().rawAddress(), {}, connection->number, now};
            for (const auto& value : message.values()) {
              if (const auto* text = value.stringValue()) received.arguments.push_back(*text);
            }
            const std::lock_guard lock(mutex_);
            received_.push_back(std::move(received));
          } catch (const osc::OSCDecodeError&) {
            // Not a message: a console ignores it.
          }
        });
    changed_.notify_all();
    read(connection);
  });
}

bool LoopbackConsole::waitForConnections(std::size_t count, std::chrono::seconds deadline) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, deadline, [&] { return accepted_ >= count; });
}

std::optional<std::vector<LoopbackConsole::Received>> LoopbackConsole::waitForMessages(
    std::size_t count, std::chrono::seconds deadline) {
  std::unique_lock lock(mutex_);
  if (!changed_.wait_for(lock, deadline, [&] { return received_.size() >= count; })) {
    return std::nullopt;
  }
  return received_;
}

void LoopbackConsole::send(const std::string& address, const std::vector<std::string>& arguments) {
  osc::OSCValueList values(arguments.begin(), arguments.end());
  auto bytes = std::make_shared<link::Bytes>(
      link::slipEncode(osc::OSCMessage(std::string_view(address), std::move(values)).rawData()));
  asio::post(io_, [this, bytes] {
    if (connections_.empty()) return;
    asio::async_write(connections_.back()->socket, asio::buffer(*bytes),
                      [bytes](asio::error_code, std::size_t) {});
  });
}

void LoopbackConsole::dropConnections() {
  asio::post(io_, [this] {
    for (const auto& connection : connections_) {
      asio::error_code ignored;
      connection->socket.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
      connection->socket.close(ignored);
    }
    connections_.clear();
  });
}

}  // namespace tempik::core
