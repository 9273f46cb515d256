#include "ConsoleSimulator.h"

#include "osc/OSCErrors.h"
#include "osc/OSCPacket.h"

namespace tempik::eossim {

ConsoleSimulator::ConsoleSimulator(asio::io_context& io, const asio::ip::tcp::endpoint& endpoint,
                                   const EventPrinter& printer)
    : acceptor_(io), printer_(printer) {
  acceptor_.open(endpoint.protocol());
  acceptor_.set_option(asio::ip::tcp::acceptor::reuse_address(true));
  acceptor_.bind(endpoint);
  acceptor_.listen();
  accept();
}

void ConsoleSimulator::accept() {
  acceptor_.async_accept([this](std::error_code error, asio::ip::tcp::socket socket) {
    if (error == asio::error::operation_aborted) return;
    if (!error) {
      std::error_code ignored;
      socket.set_option(asio::ip::tcp::no_delay(true), ignored);
      const auto remote = socket.remote_endpoint(ignored);
      auto connection = std::make_shared<Connection>(nextId_++, std::move(socket));
      connections_.emplace(connection->id, connection);
      printer_.connected(connection->id,
                         remote.address().to_string() + ":" + std::to_string(remote.port()));
      read(connection);
    }
    accept();
  });
}

void ConsoleSimulator::read(const std::shared_ptr<Connection>& connection) {
  connection->socket.async_read_some(
      asio::buffer(connection->buffer), [this, connection](std::error_code error, std::size_t n) {
        if (error) {
          forget(connection);
          return;
        }
        connection->decoder.feed(
            link::ByteView(connection->buffer.data(), n),
            [this, &connection](link::ByteView frame) { handleFrame(*connection, frame); });
        read(connection);
      });
}

void ConsoleSimulator::handleFrame(const Connection& connection, link::ByteView frame) {
  try {
    const auto packet = osc::OSCPacket::decode(frame);
    if (!packet) {
      printer_.undecodable(connection.id, frame.size(), "neither a message nor a bundle");
    } else if (const auto* message = packet->message()) {
      printer_.received(connection.id, *message);
    } else {
      // Bundles are printed message by message, depth first.
      std::vector<const osc::OSCPacket*> pending{&*packet};
      while (!pending.empty()) {
        const auto* next = pending.back();
        pending.pop_back();
        if (const auto* message = next->message()) {
          printer_.received(connection.id, *message);
          continue;
        }
        const auto& elements = next->bundle()->elements();
        for (auto it = elements.rbegin(); it != elements.rend(); ++it) pending.push_back(&*it);
      }
    }
  } catch (const osc::OSCDecodeError& error) {
    printer_.undecodable(connection.id, frame.size(), error.description());
  }
}

std::size_t ConsoleSimulator::broadcast(const osc::OSCMessage& message) {
  const link::Bytes framed = link::slipEncode(message.rawData());
  for (auto& [id, connection] : connections_) {
    connection->writes.push_back(framed);
    if (connection->writes.size() == 1) write(connection);
  }
  return connections_.size();
}

void ConsoleSimulator::write(const std::shared_ptr<Connection>& connection) {
  asio::async_write(connection->socket, asio::buffer(connection->writes.front()),
                    [this, connection](std::error_code error, std::size_t) {
                      if (error) return;  // the read side notices the closed connection
                      connection->writes.pop_front();
                      if (!connection->writes.empty()) write(connection);
                    });
}

std::size_t ConsoleSimulator::dropAll() {
  const std::size_t count = connections_.size();
  for (auto& [id, connection] : connections_) {
    std::error_code ignored;
    connection->socket.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
    connection->socket.close(ignored);
  }
  return count;
}

void ConsoleSimulator::forget(const std::shared_ptr<Connection>& connection) {
  if (connections_.erase(connection->id) > 0) printer_.disconnected(connection->id);
}

}  // namespace tempik::eossim
