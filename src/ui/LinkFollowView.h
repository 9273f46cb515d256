#pragma once

#include <QWidget>
#include <functional>
#include <optional>

#include "core/TempoSession.h"

class QCheckBox;

namespace tempik::ui {

class TintedLabel;

/// The "Follow Ableton Link" switch and, while it is on, how the session stands under it:
/// "Link · joining…" until the first report, then "Link · no peers" while tempik is alone, or
/// "Link · 2 peers · 127.98" (the session's tempo, two decimals). To assistive technologies
/// the status reads in words ("Link: 2 peers, 127.98 BPM"), and the switch is described by
/// it. A click takes no keyboard focus, so the tap button keeps it. Main thread only.
class LinkFollowView final : public QWidget {
  Q_OBJECT

 public:
  explicit LinkFollowView(QWidget* parent = nullptr);

  /// Checks or clears the switch and shows the status while following; calls no action.
  void setFollowing(bool following);
  /// The session as last reported; nothing while joining.
  void setSession(const std::optional<core::TempoSessionState>& session);
  /// What the switch does when the operator flips it.
  void setAction(std::function<void(bool follow)> action);

  [[nodiscard]] QCheckBox& followSwitch() const { return *switch_; }
  /// The status line; empty while it is hidden.
  [[nodiscard]] QString statusText() const;
  /// The status as a screen reader hears it; empty while not following.
  [[nodiscard]] QString spokenStatus() const;

 private:
  void showStatus();

  QCheckBox* switch_;
  TintedLabel* status_;
  std::optional<core::TempoSessionState> session_;
  std::function<void(bool)> action_;
};

}  // namespace tempik::ui
