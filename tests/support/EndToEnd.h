#pragma once
// The real programs, side by side on loopback: eos-sim as the console, tempik offscreen with
// its own settings folder. For the end-to-end tests; Qt's event loop is not needed.

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <optional>

namespace tempik::fakes {

struct ConsoleMessage {
  QString address;
  QStringList arguments;
};

// eos-sim with JSON output, read line by line. Runs while the object lives.
class EosSim {
 public:
  EosSim(const QString& program, const QStringList& arguments) {
    process_.setProgram(program);
    process_.setArguments(arguments + QStringList{"--json"});
    process_.start();
  }
  ~EosSim() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.write("q\n");
    if (!process_.waitForFinished(3000)) process_.kill();
    process_.waitForFinished(3000);
  }
  EosSim(const EosSim&) = delete;
  EosSim& operator=(const EosSim&) = delete;

  // The next event line, or nothing once the deadline passes or the console ends.
  std::optional<QJsonObject> nextEvent(QDeadlineTimer deadline) {
    while (!process_.canReadLine()) {
      if (process_.state() == QProcess::NotRunning || deadline.hasExpired()) return std::nullopt;
      process_.waitForReadyRead(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 1)));
    }
    return QJsonDocument::fromJson(process_.readLine()).object();
  }

  // True once the console reports it is listening.
  bool waitUntilListening() {
    const auto event = nextEvent(QDeadlineTimer(10'000));
    return event && event->value("event") == "listening";
  }

  // The next message received from tempik with this address.
  std::optional<ConsoleMessage> nextMessage(const QString& address, QDeadlineTimer deadline) {
    while (const auto event = nextEvent(deadline)) {
      if (event->value("event") != "message" || event->value("address") != address) continue;
      ConsoleMessage message{address, {}};
      for (const auto& argument : event->value("args").toArray()) {
        message.arguments.push_back(argument.toString());
      }
      return message;
    }
    return std::nullopt;
  }

 private:
  QProcess process_;
};

// Starts tempik offscreen with $XDG_CONFIG_HOME at `configHome` (and a runtime folder
// beside it, as a desktop session has); its stderr stays readable.
inline bool startTempikOffscreen(QProcess& tempik, const QString& program,
                                 const QString& configHome) {
  const QString runtime = configHome + "/runtime";
  QDir().mkpath(runtime);
  QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  environment.insert("XDG_CONFIG_HOME", configHome);
  environment.insert("XDG_RUNTIME_DIR", runtime);
  tempik.setProcessEnvironment(environment);
  tempik.start(program, {});
  return tempik.waitForStarted(10'000);
}

}  // namespace tempik::fakes
