#include "midi/JackServer.h"

#include <jack/jack.h>

#include <mutex>
#include <utility>

namespace tempik::midi {

namespace {

// libjack's message hooks are plain function pointers for the whole process: they reach
// the one routed log through this, which the mutex guards against JACK's threads.
struct MessageRoute {
  std::mutex mutex;
  JackServerWatch::LogLine log;
};

// Trying a server that is not there is how tempik looks for one: those lines say nothing.
thread_local bool lookingForServer = false;

MessageRoute& messageRoute() {
  static MessageRoute route;
  return route;
}

void routeMessage(const char* message) {
  if (lookingForServer) return;
  MessageRoute& route = messageRoute();
  const std::lock_guard lock(route.mutex);
  if (route.log) route.log(std::string("JACK: ") + message);
}

}  // namespace

struct JackServerWatch::Client {
  std::function<void()> onGone;
  jack_client_t* handle = nullptr;
  ~Client() {
    if (handle) jack_client_close(handle);
  }
};

void JackServerWatch::routeMessages(LogLine log) {
  {
    MessageRoute& route = messageRoute();
    const std::lock_guard lock(route.mutex);
    route.log = std::move(log);
  }
  jack_set_error_function(routeMessage);
  jack_set_info_function(routeMessage);
}

std::unique_ptr<JackServerWatch> JackServerWatch::start(std::function<void()> onGone) {
  auto client = std::make_unique<Client>();
  client->onGone = std::move(onGone);
  jack_status_t status{};
  lookingForServer = true;
  client->handle = jack_client_open("tempik-watch", JackNoStartServer, &status);
  lookingForServer = false;
  if (!client->handle) return nullptr;
  jack_on_shutdown(
      client->handle, [](void* watched) { static_cast<Client*>(watched)->onGone(); }, client.get());
  return std::make_unique<JackServerWatch>(Key{}, std::move(client));
}

JackServerWatch::JackServerWatch(Key, std::unique_ptr<Client> client)
    : client_(std::move(client)) {}

JackServerWatch::~JackServerWatch() = default;

}  // namespace tempik::midi
