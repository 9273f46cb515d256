#pragma once
// The real programs side by side on loopback: eos-sim as the console, tempik offscreen with a
// settings folder of its own.

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <optional>

namespace tempik::fakes {

/// A message eos-sim received, with the time it printed.
struct ConsoleMessage {
  QString address;
  QStringList arguments;
  QDateTime at;
};

/// eos-sim with JSON output, read line by line; commands go to its standard input. Runs
/// while the object lives.
class EosSim {
 public:
  explicit EosSim(const QStringList& arguments) {
    process_.start(EOS_SIM_PATH, arguments + QStringList{"--json"});
  }
  ~EosSim() {
    process_.write("q\n");
    if (!process_.waitForFinished(3000)) process_.kill();
    process_.waitForFinished(3000);
  }
  EosSim(const EosSim&) = delete;
  EosSim& operator=(const EosSim&) = delete;

  /// True once the console reports it is listening.
  bool waitUntilListening() {
    const auto event = nextEvent(QDeadlineTimer(10'000));
    return event && event->value("event") == "listening";
  }
  void command(const char* line) { process_.write(line), process_.write("\n"); }

  /// The next event of this kind (and address, for messages) within 30 s.
  std::optional<ConsoleMessage> next(const QString& event, const QString& address = {}) {
    const QDeadlineTimer deadline(30'000);
    while (const auto found = nextEvent(deadline)) {
      if (found->value("event") != event || found->value("address").toString() != address) continue;
      ConsoleMessage message{
          address, {}, QDateTime::fromString(found->value("time").toString(), Qt::ISODateWithMs)};
      for (const auto& argument : found->value("args").toArray())
        message.arguments << argument.toString();
      return message;
    }
    return std::nullopt;
  }

 private:
  std::optional<QJsonObject> nextEvent(QDeadlineTimer deadline) {
    while (!process_.canReadLine()) {
      if (process_.state() == QProcess::NotRunning || deadline.hasExpired()) return std::nullopt;
      process_.waitForReadyRead(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 1)));
    }
    return QJsonDocument::fromJson(process_.readLine()).object();
  }

  QProcess process_;
};

/// tempik offscreen, with $XDG_CONFIG_HOME at configHome holding this settings file, in a
/// folder it may not write to if so asked (and a runtime folder beside it, as a desktop session
/// has). Its stderr stays readable.
inline bool startTempik(QProcess& tempik, const QString& configHome, const QByteArray& settings,
                        bool readOnly = false) {
  QDir().mkpath(configHome + "/tempik");
  QDir().mkpath(configHome + "/runtime");
  QFile::setPermissions(configHome + "/runtime",
                        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  QFile file(configHome + "/tempik/tempik.conf");
  if (!file.open(QIODevice::WriteOnly) || file.write(settings) != settings.size()) return false;
  file.close();
  if (readOnly) QFile::setPermissions(configHome + "/tempik", QFile::ReadOwner | QFile::ExeOwner);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  environment.insert("XDG_CONFIG_HOME", configHome);
  environment.insert("XDG_RUNTIME_DIR", configHome + "/runtime");
  tempik.setProcessEnvironment(environment);
  tempik.start(TEMPIK_PATH, {});
  return tempik.waitForStarted(10'000);
}

}  // namespace tempik::fakes
