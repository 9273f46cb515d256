#include "EventPrinter.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <variant>

#include "net/Platform.h"
#include "osc/OSCErrors.h"

namespace tempik::eossim {

namespace {

std::string timestamp(bool utc) {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  const std::tm parts = net::platform::calendarTime(seconds, utc);
  char text[40];
  std::strftime(text, sizeof text, utc ? "%Y-%m-%dT%H:%M:%S" : "%H:%M:%S", &parts);
  char full[48];
  std::snprintf(full, sizeof full, utc ? "%s.%03dZ" : "%s.%03d", text, static_cast<int>(millis));
  return full;
}

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

// The type tag string exactly as received: the second padded string of the message's bytes.
std::string receivedTypeTags(const osc::OSCMessage& message) {
  std::vector<std::uint8_t> bytes;
  try {
    bytes = message.rawData();  // a decoded message gives back the bytes it came from
  } catch (const osc::OSCEncodeError&) {
    return {};
  }
  std::size_t at = 0;
  while (at < bytes.size() && bytes[at] != 0) ++at;
  at = (at / 4 + 1) * 4;
  std::string tags;
  while (at < bytes.size() && bytes[at] != 0) tags += static_cast<char>(bytes[at++]);
  return tags;
}

std::string textValue(const osc::OSCValue& value) {
  if (const auto* text = value.stringValue()) return quoted(*text);
  return value.description();
}

std::string jsonValue(const osc::OSCValue& value) {
  return std::visit(
      [&value](const auto& v) -> std::string {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::string>) {
          return quoted(v);
        } else if constexpr (std::is_same_v<T, bool>) {
          return v ? "true" : "false";
        } else if constexpr (std::is_integral_v<T> && !std::is_same_v<T, char32_t>) {
          return std::to_string(v);
        } else if constexpr (std::is_floating_point_v<T>) {
          return std::isfinite(v) ? value.description() : quoted(value.description());
        } else {
          return quoted(value.description());
        }
      },
      value.storage());
}

}  // namespace

void EventPrinter::emit(const std::string& line) const {
  std::fputs(line.c_str(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void EventPrinter::listening(const std::string& host, std::uint16_t port) const {
  if (json_) {
    emit(R"({"event":"listening","host":)" + quoted(host) + R"(,"port":)" + std::to_string(port) +
         "}");
  } else {
    const std::string shown = host.find(':') == std::string::npos ? host : "[" + host + "]";
    emit("eos-sim listening on " + shown + ":" + std::to_string(port) +
         " (commands: t tap, e Effect Not Running, c Cue List Does Not Exist, d drop, r reset,"
         " s stop or resume reading, g garbage, q quit)");
  }
}

void EventPrinter::connected(int client, const std::string& peer) {
  if (json_) {
    emit(R"({"event":"connected","time":")" + timestamp(true) + R"(","client":)" +
         std::to_string(client) + R"(,"peer":)" + quoted(peer) + "}");
  } else {
    emit(timestamp(false) + " client " + std::to_string(client) + " connected from " + peer);
  }
}

void EventPrinter::disconnected(int client) {
  if (json_) {
    emit(R"({"event":"disconnected","time":")" + timestamp(true) + R"(","client":)" +
         std::to_string(client) + "}");
  } else {
    emit(timestamp(false) + " client " + std::to_string(client) + " disconnected");
  }
}

void EventPrinter::received(int client, const osc::OSCMessage& message) {
  const std::string tags = receivedTypeTags(message);
  if (json_) {
    std::string args;
    for (const auto& value : message.values()) {
      if (!args.empty()) args += ",";
      args += jsonValue(value);
    }
    emit(R"({"event":"message","time":")" + timestamp(true) + R"(","client":)" +
         std::to_string(client) + R"(,"address":)" + quoted(message.addressPattern().rawAddress()) +
         R"(,"tags":)" + quoted(tags) + R"(,"args":[)" + args + "]}");
    return;
  }
  std::string line = timestamp(false) + " client " + std::to_string(client) + " " +
                     message.addressPattern().rawAddress() + " " + (tags.empty() ? "," : tags);
  for (const auto& value : message.values()) {
    line += ' ';
    line += textValue(value);
  }
  emit(line);
}

void EventPrinter::undecodable(int client, std::size_t size, const std::string& reason) {
  if (json_) {
    emit(R"({"event":"undecodable","time":")" + timestamp(true) + R"(","client":)" +
         std::to_string(client) + R"(,"bytes":)" + std::to_string(size) + R"(,"reason":)" +
         quoted(reason) + "}");
  } else {
    emit(timestamp(false) + " client " + std::to_string(client) + " undecodable frame of " +
         std::to_string(size) + " bytes: " + reason);
  }
}

void EventPrinter::sent(const std::string& what, std::size_t clients) const {
  if (json_) {
    emit(R"({"event":"sent","time":")" + timestamp(true) + R"(","message":)" + quoted(what) +
         R"(,"clients":)" + std::to_string(clients) + "}");
  } else {
    emit(timestamp(false) + " sent " + what + " to " + std::to_string(clients) + " client(s)");
  }
}

void EventPrinter::dropped(std::size_t clients) const {
  if (json_) {
    emit(R"({"event":"dropped","time":")" + timestamp(true) + R"(","clients":)" +
         std::to_string(clients) + "}");
  } else {
    emit(timestamp(false) + " dropped " + std::to_string(clients) + " client(s)");
  }
}

void EventPrinter::note(const std::string& text) const {
  if (json_) {
    emit(R"({"event":"note","text":)" + quoted(text) + "}");
  } else {
    emit(text);
  }
}

}  // namespace tempik::eossim
