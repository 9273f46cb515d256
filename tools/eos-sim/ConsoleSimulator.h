#pragma once

#include <asio.hpp>

#include <array>
#include <deque>
#include <map>
#include <memory>

#include "EventPrinter.h"
#include "link/OSCTCPFraming.h"
#include "link/SlipStreamDecoder.h"
#include "osc/OSCMessage.h"

namespace tempik::eossim {

/// A stand-in Eos console: accepts any number of clients on one TCP listener, prints every
/// SLIP-framed OSC message they send, and sends messages to all of them. Runs on the one
/// thread that runs its io_context.
class ConsoleSimulator {
 public:
  /// Throws asio::system_error when the address cannot be listened on.
  ConsoleSimulator(asio::io_context& io, const asio::ip::tcp::endpoint& endpoint,
                   const EventPrinter& printer);

  asio::ip::tcp::endpoint localEndpoint() const { return acceptor_.local_endpoint(); }

  /// Sends message to every connected client; returns how many.
  std::size_t broadcast(const osc::OSCMessage& message);
  /// Closes every connection; returns how many.
  std::size_t dropAll();

 private:
  struct Connection {
    Connection(int id, asio::ip::tcp::socket socket) : id(id), socket(std::move(socket)) {}

    int id;
    asio::ip::tcp::socket socket;
    link::SlipStreamDecoder decoder;
    std::array<std::uint8_t, 64 * 1024> buffer{};
    std::deque<link::Bytes> writes;  // the first is being written
  };

  void accept();
  void read(const std::shared_ptr<Connection>& connection);
  void write(const std::shared_ptr<Connection>& connection);
  void handleFrame(const Connection& connection, link::ByteView frame);
  void forget(const std::shared_ptr<Connection>& connection);

  asio::ip::tcp::acceptor acceptor_;
  const EventPrinter& printer_;
  std::map<int, std::shared_ptr<Connection>> connections_;
  int nextId_ = 1;
};

}  // namespace tempik::eossim
