#pragma once

#include <cstdint>
#include <string>

#include "Console.h"
#include "osc/OSCMessage.h"

namespace tempik::eossim {

/// Writes one line per event to standard output, as text for people or JSON for scripts, and
/// flushes it at once (scripts wait for these lines).
class EventPrinter final : public ConsoleEvents {
 public:
  explicit EventPrinter(bool json) : json_(json) {}

  void connected(int client, const std::string& peer) override;
  void disconnected(int client) override;
  void received(int client, const osc::OSCMessage& message) override;
  void undecodable(int client, std::size_t size, const std::string& reason) override;

  void listening(const std::string& host, std::uint16_t port) const;
  void sent(const std::string& what, std::size_t clients) const;
  void dropped(std::size_t clients) const;
  void note(const std::string& text) const;

 private:
  void emit(const std::string& line) const;

  bool json_;
};

}  // namespace tempik::eossim
