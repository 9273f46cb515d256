#include "Console.h"

#include <asio/write.hpp>

#include "osc/OSCErrors.h"
#include "osc/OSCPacket.h"

namespace tempik::eossim {

namespace {

// The smallest receive buffer the kernel grants: a few KiB, so a client's writes soon wait.
const asio::socket_base::receive_buffer_size kStalledBuffer(1);

}  // namespace

Console::Console(asio::io_context& io, const asio::ip::tcp::endpoint& endpoint,
                 ConsoleEvents& events)
    : acceptor_(io), events_(events) {
  acceptor_.open(endpoint.protocol());
  acceptor_.set_option(asio::ip::tcp::acceptor::reuse_address(true));
  acceptor_.bind(endpoint);
  acceptor_.listen();
  accept();
}

void Console::accept() {
  acceptor_.async_accept([this](std::error_code error, asio::ip::tcp::socket socket) {
    if (error == asio::error::operation_aborted) return;
    if (!error) {
      std::error_code ignored;
      socket.set_option(asio::ip::tcp::no_delay(true), ignored);
      if (!reading_) socket.set_option(kStalledBuffer, ignored);
      const auto remote = socket.remote_endpoint(ignored);
      auto connection = std::make_shared<Connection>(nextId_++, std::move(socket));
      connections_.emplace(connection->id, connection);
      events_.connected(connection->id,
                        remote.address().to_string() + ":" + std::to_string(remote.port()));
      if (reading_) read(connection);
    }
    accept();
  });
}

void Console::read(const ConnectionPtr& connection) {
  connection->reading = true;
  connection->socket.async_read_some(
      asio::buffer(connection->buffer), [this, connection](std::error_code error, std::size_t n) {
        connection->reading = false;
        // Told to stop reading: the bytes not yet read stay with the kernel.
        if (error == asio::error::operation_aborted && !reading_) return;
        if (error) {
          // Closed by the client, or failed; a connection the console dropped is gone already.
          if (connections_.erase(connection->id) > 0) events_.disconnected(connection->id);
          return;
        }
        connection->decoder.feed(link::ByteView(connection->buffer.data(), n),
                                 [&](link::ByteView frame) { handleFrame(connection, frame); });
        if (reading_ && connection->socket.is_open()) read(connection);
      });
}

void Console::handleFrame(const ConnectionPtr& connection, link::ByteView frame) {
  const int client = connection->id;
  try {
    const auto packet = osc::OSCPacket::decode(frame);
    if (!packet) {
      events_.undecodable(client, frame.size(), "neither a message nor a bundle");
      return;
    }
    // Bundles are taken apart message by message, depth first.
    std::vector<const osc::OSCPacket*> pending{&*packet};
    while (!pending.empty()) {
      const auto* next = pending.back();
      pending.pop_back();
      if (const auto* message = next->message()) {
        events_.received(client, *message);
        if (answeringPings_ && message->addressPattern().rawAddress() == "/eos/ping" &&
            !connection->closeWhenWritten) {
          const osc::OSCMessage reply("/eos/out/ping", message->values());
          queue(connection, std::make_shared<const link::Bytes>(link::slipEncode(reply.rawData())));
        }
        continue;
      }
      const auto& elements = next->bundle()->elements();
      for (auto it = elements.rbegin(); it != elements.rend(); ++it) pending.push_back(&*it);
    }
  } catch (const osc::OSCDecodeError& error) {
    events_.undecodable(client, frame.size(), error.description());
  }
}

std::size_t Console::send(const osc::OSCMessage& message) {
  return sendBytes(link::slipEncode(message.rawData()));
}

std::size_t Console::sendBytes(link::Bytes bytes) {
  const auto shared = std::make_shared<const link::Bytes>(std::move(bytes));
  std::size_t count = 0;
  for (auto& [id, connection] : connections_) {
    if (connection->closeWhenWritten) continue;
    queue(connection, shared);
    ++count;
  }
  return count;
}

void Console::queue(const ConnectionPtr& connection, std::shared_ptr<const link::Bytes> bytes) {
  if (!bytes->empty()) connection->writes.push_back(std::move(bytes));
  if (!connection->writing) writeNext(connection);
}

void Console::writeNext(const ConnectionPtr& connection) {
  if (connection->writes.empty()) {
    connection->writing = false;
    if (connection->closeWhenWritten) close(connection, *connection->closeWhenWritten);
    return;
  }
  connection->writing = true;
  const auto bytes = connection->writes.front();
  asio::async_write(connection->socket, asio::buffer(*bytes),
                    [this, connection, bytes](std::error_code error, std::size_t) {
                      connection->writes.pop_front();
                      if (error) connection->writes.clear();  // the read side reports it
                      writeNext(connection);
                    });
}

std::vector<int> Console::drop(Close how, link::Bytes lastBytes) {
  const auto last = std::make_shared<const link::Bytes>(std::move(lastBytes));
  std::vector<int> dropped;
  for (auto& [id, connection] : connections_) {
    if (connection->closeWhenWritten) continue;
    connection->closeWhenWritten = how;
    dropped.push_back(id);
    queue(connection, last);
  }
  for (const int id : dropped) connections_.erase(id);
  return dropped;
}

void Console::close(const ConnectionPtr& connection, Close how) {
  std::error_code ignored;
  if (how == Close::reset) {
    connection->socket.set_option(asio::socket_base::linger(true, 0), ignored);
  } else {
    connection->socket.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
  }
  connection->socket.close(ignored);
}

void Console::setReading(bool reading) {
  reading_ = reading;
  std::error_code ignored;
  if (!reading) acceptor_.set_option(kStalledBuffer, ignored);
  for (auto& [id, connection] : connections_) {
    if (!reading) {
      connection->socket.set_option(kStalledBuffer, ignored);
      // From now on, not after one more chunk: a read already waiting would take it.
      if (connection->reading) connection->socket.cancel(ignored);
    }
    if (reading && !connection->reading) read(connection);
  }
}

}  // namespace tempik::eossim
