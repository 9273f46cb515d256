#pragma once

#include <cstddef>
#include <functional>

namespace tempik::core {

/// A shared tempo session on the network as tempik sees it: the session's tempo and how many
/// other peers share it. Alone (no peers), the tempo is only tempik's own and means nothing.
struct TempoSessionState {
  double tempo = 0;
  std::size_t peers = 0;
  friend bool operator==(const TempoSessionState&, const TempoSessionState&) = default;
};

/// A tempo session the show already has (an Ableton Link session), which tempik follows but
/// never changes: joining and following never set the session's tempo.
///
/// Runs on the controller's executor: join(), leave() and the handler all run there. The
/// session's own threads only post to it.
class TempoSession {
 public:
  using ChangeHandler = std::function<void(const TempoSessionState&)>;

  virtual ~TempoSession() = default;

  /// Joins the session; onChange is called on the executor with the state after each change
  /// (first once joined), until leave(). Joining again while joined changes nothing.
  virtual void join(ChangeHandler onChange) = 0;
  /// Leaves the session and stops sending anything for it; onChange is not called again,
  /// not even for a change already on its way.
  virtual void leave() = 0;
};

}  // namespace tempik::core
