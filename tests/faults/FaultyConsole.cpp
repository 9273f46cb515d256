#include "FaultyConsole.h"

#include <array>
#include <asio/post.hpp>
#include <asio/steady_timer.hpp>
#include <asio/write.hpp>
#include <deque>

#include "link/OSCTCPFraming.h"
#include "link/SlipStreamDecoder.h"
#include "osc/OSCErrors.h"
#include "osc/OSCMessage.h"

namespace tempik::faults {

struct FaultyConsole::Peer {
  Peer(asio::ip::tcp::socket socket, std::size_t number)
      : socket(std::move(socket)), number(number) {}
  asio::ip::tcp::socket socket;
  std::size_t number;
  std::array<std::uint8_t, 65536> buffer{};
  link::SlipStreamDecoder decoder;
  bool reading = false;
  bool writing = false;
  std::deque<std::shared_ptr<std::vector<std::uint8_t>>> writes;
  std::optional<Close> closeWhenWritten;
};

std::vector<FaultyConsole::Received> FaultyConsole::Log::on(std::size_t connection,
                                                            const std::string& address) const {
  std::vector<Received> result;
  for (const auto& message : received) {
    if (message.connection == connection && message.address == address) result.push_back(message);
  }
  return result;
}

std::vector<std::uint8_t> slipMessage(const std::string& address,
                                      const std::vector<std::string>& arguments) {
  osc::OSCValueList values(arguments.begin(), arguments.end());
  return link::slipEncode(osc::OSCMessage(std::string_view(address), std::move(values)).rawData());
}

FaultyConsole::FaultyConsole(std::string host, Reading reading)
    : host_(std::move(host)), reading_(reading == Reading::always) {
  const asio::ip::tcp::endpoint endpoint(asio::ip::make_address(host_), 3038);
  acceptor_.open(endpoint.protocol());
  acceptor_.set_option(asio::socket_base::reuse_address(true));
  // Accepted sockets inherit it: a console that never reads then fills up after a few KiB.
  if (!reading_) acceptor_.set_option(asio::socket_base::receive_buffer_size(1));
  acceptor_.bind(endpoint);
  acceptor_.listen();
  accept();
  thread_ = std::thread([this] { io_.run(); });
}

FaultyConsole::~FaultyConsole() {
  asio::post(io_, [this] {
    asio::error_code ignored;
    acceptor_.close(ignored);
    for (const auto& peer : peers_) peer->socket.close(ignored);
    peers_.clear();
    io_.stop();
  });
  thread_.join();
}

FaultyConsole::Log FaultyConsole::log() const {
  const std::lock_guard lock(mutex_);
  return log_;
}

bool FaultyConsole::waitUntil(const std::function<bool(const Log&)>& done,
                              Clock::duration deadline) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, deadline, [&] { return done(log_); });
}

void FaultyConsole::accept() {
  acceptor_.async_accept([this](asio::error_code error, asio::ip::tcp::socket socket) {
    if (error) return;
    std::size_t number = 0;
    {
      const std::lock_guard lock(mutex_);
      number = log_.connections.size();
      log_.connections.push_back({Clock::now(), std::nullopt, false});
    }
    changed_.notify_all();
    auto peer = std::make_shared<Peer>(std::move(socket), number);
    peers_.push_back(peer);
    if (reading_) read(peer);
    accept();
  });
}

void FaultyConsole::read(const std::shared_ptr<Peer>& peer) {
  peer->reading = true;
  peer->socket.async_read_some(
      asio::buffer(peer->buffer), [this, peer](asio::error_code error, std::size_t size) {
        if (error) {
          if (peer->socket.is_open()) {
            {
              const std::lock_guard lock(mutex_);
              log_.connections[peer->number].closedByPeer = true;
            }
            changed_.notify_all();
          }
          return;
        }
        const auto now = Clock::now();
        std::vector<Received> decoded;
        peer->decoder.feed(link::ByteView(peer->buffer.data(), size), [&](link::ByteView frame) {
          try {
            const osc::OSCMessage message = osc::OSCMessage::decode(frame);
            Received received{message.addressPattern().rawAddress(), {}, peer->number, now};
            for (const auto& value : message.values()) {
              if (const auto* text = value.stringValue()) received.arguments.push_back(*text);
            }
            decoded.push_back(std::move(received));
          } catch (const osc::OSCDecodeError&) {
            // tempik sends only messages; anything else shows up as a missing message.
          }
        });
        if (!decoded.empty()) {
          {
            const std::lock_guard lock(mutex_);
            for (auto& message : decoded) log_.received.push_back(std::move(message));
          }
          changed_.notify_all();
        }
        read(peer);
      });
}

void FaultyConsole::startReading() {
  asio::post(io_, [this] {
    reading_ = true;
    for (const auto& peer : peers_) {
      if (!peer->reading && peer->socket.is_open()) read(peer);
    }
  });
}

std::shared_ptr<FaultyConsole::Peer> FaultyConsole::newestOpenPeer() const {
  for (auto peer = peers_.rbegin(); peer != peers_.rend(); ++peer) {
    if ((*peer)->socket.is_open() && !(*peer)->closeWhenWritten) return *peer;
  }
  return nullptr;
}

void FaultyConsole::send(std::vector<std::uint8_t> bytes) {
  auto shared = std::make_shared<std::vector<std::uint8_t>>(std::move(bytes));
  asio::post(io_, [this, shared] {
    const auto peer = newestOpenPeer();
    if (!peer) return;
    peer->writes.push_back(shared);
    if (!peer->writing) writeNext(peer);
  });
}

void FaultyConsole::sendMessage(const std::string& address,
                                const std::vector<std::string>& arguments) {
  send(slipMessage(address, arguments));
}

void FaultyConsole::writeNext(const std::shared_ptr<Peer>& peer) {
  if (peer->writes.empty()) {
    peer->writing = false;
    if (peer->closeWhenWritten) close(peer, *peer->closeWhenWritten);
    return;
  }
  peer->writing = true;
  const auto bytes = peer->writes.front();
  asio::async_write(peer->socket, asio::buffer(*bytes),
                    [this, peer, bytes](asio::error_code error, std::size_t) {
                      peer->writes.pop_front();
                      if (error) peer->writes.clear();
                      writeNext(peer);
                    });
}

void FaultyConsole::drop(Close how, std::vector<std::uint8_t> lastBytes, Clock::duration delay) {
  auto shared = std::make_shared<std::vector<std::uint8_t>>(std::move(lastBytes));
  auto timer = std::make_shared<asio::steady_timer>(io_, delay);
  timer->async_wait([this, timer, shared, how](asio::error_code) {
    const auto peer = newestOpenPeer();
    if (!peer) return;
    if (!shared->empty()) peer->writes.push_back(shared);
    peer->closeWhenWritten = how;
    if (!peer->writing) writeNext(peer);
  });
}

void FaultyConsole::close(const std::shared_ptr<Peer>& peer, Close how) {
  asio::error_code ignored;
  if (how == Close::reset) {
    peer->socket.set_option(asio::socket_base::linger(true, 0), ignored);
  } else {
    peer->socket.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
  }
  peer->socket.close(ignored);
  {
    const std::lock_guard lock(mutex_);
    log_.connections[peer->number].droppedAt = Clock::now();
  }
  changed_.notify_all();
  std::erase(peers_, peer);
}

}  // namespace tempik::faults
