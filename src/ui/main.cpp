// tempik: tap the tempo, and the Eos console follows.
#include <QApplication>
#include <QStyle>
#include <memory>

#include "core/WallClock.h"
#if TEMPIK_WITH_LINK
#include "abletonlink/AbletonLinkSession.h"
#endif
#include "link/EosOscTransport.h"
#if TEMPIK_WITH_MIDI
#include "midi/RtMidiInput.h"
#endif
#include "ui/BuildInfo.h"
#include "ui/ColorSchemePortal.h"
#include "ui/Logging.h"
#include "ui/QtExecutor.h"
#include "ui/QtSettingsStore.h"
#include "ui/SingleInstance.h"
#include "ui/TempikApp.h"
#include "ui/Translations.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("tempik"));
  QApplication::setApplicationName(QStringLiteral("tempik"));
  QApplication::setApplicationVersion(QString::fromUtf8(tempik::ui::applicationVersion));
  QApplication::setDesktopFileName(QStringLiteral("tempik"));

  // A second launch only brings the running window forward: one connection, one set of
  // Effect key presses, one settings file in use.
  // The desktop's language ($LANGUAGE first), or English.
  const tempik::ui::Translations translations(QLocale::system(),
                                              tempik::ui::Translations::standardFolders());

  tempik::ui::SingleInstance instance(tempik::ui::SingleInstance::standardFolder());
  if (instance.claim() == tempik::ui::SingleInstance::Role::handedOver) return 0;

  // The desktop's light or dark preference, followed while tempik runs.
  const QPalette platform = QApplication::palette();
  const QPalette light = QApplication::style()->standardPalette();
  const tempik::ui::ColorSchemePortal colorScheme(
      [platform, light](tempik::ui::ColorScheme scheme) {
        QApplication::setPalette(tempik::ui::paletteFor(scheme, platform, light));
      });

  auto executor = std::make_shared<tempik::ui::QtExecutor>();
  const tempik::link::ConsoleTimings timings;  // the real ones: nothing here shortens them
  tempik::ui::TempikApp app([executor, timings] {
    // The transport finishes its work on its own threads and hands the results back here.
    auto onMainThread = [weakExecutor = std::weak_ptr(executor)](std::function<void()> job) {
      if (auto mainThread = weakExecutor.lock()) mainThread->post(std::move(job));
    };
    std::shared_ptr<tempik::core::TempoSession> linkSession;
#if TEMPIK_WITH_LINK
    linkSession = std::make_shared<tempik::abletonlink::AbletonLinkSession>(executor);
#endif
    auto log = std::make_shared<tempik::ui::CategoryLog>();
    std::shared_ptr<tempik::core::MidiInput> midiInput;
#if TEMPIK_WITH_MIDI
    midiInput = std::make_shared<tempik::midi::RtMidiInput>(executor, log);
#endif
    return tempik::core::TempoController::Dependencies{
        .executor = executor,
        .clock = std::make_shared<tempik::core::SystemWallClock>(),
        .defaults = std::make_shared<tempik::ui::QtSettingsStore>(),
        .transport = tempik::link::EosOscTransport::create(std::move(onMainThread), timings),
        .timings = timings,
        .log = std::move(log),
        .linkSession = std::move(linkSession),
        .midiInput = std::move(midiInput),
    };
  });
  QObject::connect(&instance, &tempik::ui::SingleInstance::activationRequested, &instance,
                   [&app] { app.bringToFront(); });
  app.show();
  return QApplication::exec();
}
