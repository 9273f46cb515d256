#pragma once

#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>

#include <array>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/OSCTCPFraming.h"
#include "link/SlipStreamDecoder.h"
#include "osc/OSCMessage.h"

namespace tempik::eossim {

/// What the console reports as it happens, on its io_context's thread. Clients are numbered
/// from 1 in the order they connected.
class ConsoleEvents {
 public:
  virtual ~ConsoleEvents() = default;
  virtual void connected(int client, const std::string& peer) = 0;
  /// The client closed the connection, or it failed; not called for a drop of the console's.
  virtual void disconnected(int client) = 0;
  /// Every message the client sent, bundles taken apart message by message.
  virtual void received(int client, const osc::OSCMessage& message) = 0;
  virtual void undecodable(int client, std::size_t size, const std::string& reason) = 0;
};

/// A stand-in Eos console on one TCP listener. It accepts any number of clients, decodes the
/// SLIP-framed OSC packets they send, sends them messages or any bytes at all, and misbehaves
/// on request: it stops reading, so that a client's writes back up, and drops connections,
/// orderly or with a reset, after a last few bytes (half a frame, say). Like Eos, it answers
/// "/eos/ping" with "/eos/out/ping" and the same arguments (while it reads, and unless told not
/// to). eos-sim is built on it, and so are the tests that need a console on loopback.
///
/// Runs on the one thread that runs its io_context; call it only there.
class Console {
 public:
  enum class Close { orderly, reset };

  /// Throws asio::system_error when the address cannot be listened on.
  Console(asio::io_context& io, const asio::ip::tcp::endpoint& endpoint, ConsoleEvents& events);

  asio::ip::tcp::endpoint localEndpoint() const { return acceptor_.local_endpoint(); }

  /// Queues the message, SLIP-framed, for every open connection; returns how many.
  std::size_t send(const osc::OSCMessage& message);
  /// Queues the bytes as they are for every open connection; returns how many.
  std::size_t sendBytes(link::Bytes bytes);
  /// Closes every open connection once what is queued for it, then lastBytes, is written;
  /// returns the clients dropped.
  std::vector<int> drop(Close how, link::Bytes lastBytes = {});
  /// Stops or resumes reading on every connection, present and future. While it does not
  /// read, connections get the smallest receive buffer, so a sender backs up soon.
  void setReading(bool reading);
  bool isReading() const { return reading_; }
  /// Whether pings are answered (they are, at first): a console that does not stands for one
  /// whose software knows no ping.
  void setAnsweringPings(bool answering) { answeringPings_ = answering; }

 private:
  struct Connection {
    Connection(int id, asio::ip::tcp::socket socket) : id(id), socket(std::move(socket)) {}
    int id;
    asio::ip::tcp::socket socket;
    link::SlipStreamDecoder decoder;
    std::array<std::uint8_t, 64 * 1024> buffer{};
    bool reading = false;
    bool writing = false;
    std::deque<std::shared_ptr<const link::Bytes>> writes;  // the first is being written
    std::optional<Close> closeWhenWritten;
  };
  using ConnectionPtr = std::shared_ptr<Connection>;

  void accept();
  void read(const ConnectionPtr& connection);
  void writeNext(const ConnectionPtr& connection);
  void queue(const ConnectionPtr& connection, std::shared_ptr<const link::Bytes> bytes);
  void close(const ConnectionPtr& connection, Close how);
  void handleFrame(const ConnectionPtr& connection, link::ByteView frame);

  asio::ip::tcp::acceptor acceptor_;
  ConsoleEvents& events_;
  std::map<int, ConnectionPtr> connections_;  // the open ones not yet dropped
  int nextId_ = 1;
  bool reading_ = true;
  bool answeringPings_ = true;
};

}  // namespace tempik::eossim
