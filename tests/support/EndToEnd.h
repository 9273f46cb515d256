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
#include <random>

namespace tempik::fakes {

/// A message eos-sim received, with the time it printed.
struct ConsoleMessage {
  QString address;
  QStringList arguments;
  QDateTime at;
};

/// eos-sim with JSON output on port 3038 (where tempik always connects) of a random 127.x.y.z
/// address, so that parallel runs do not meet; read line by line, commands go to its standard
/// input. Runs while the object lives.
class EosSim {
 public:
  explicit EosSim(const QStringList& arguments) {
    std::mt19937 random(std::random_device{}());
    for (int tries = 0; tries < 20 && host_.isEmpty(); ++tries) {
      const auto octet = [&] { return QString::number(random() % 254 + 1); };
      const QString host = "127." + octet() + "." + octet() + "." + octet();
      process_.start(EOS_SIM_PATH, arguments + QStringList{"--json", "--listen", host + ":3038"});
      const auto event = nextEvent(QDeadlineTimer(10'000));
      if (event && event->value("event") == "listening") host_ = host;
      process_.waitForFinished(host_.isEmpty() ? 10'000 : 0);
    }
  }
  ~EosSim() {
    process_.write("q\n");
    if (!process_.waitForFinished(3000)) process_.kill();
    process_.waitForFinished(3000);
  }
  EosSim(const EosSim&) = delete;
  EosSim& operator=(const EosSim&) = delete;

  /// Where it listens; empty when it could not.
  [[nodiscard]] const QString& host() const { return host_; }
  void command(const char* line) { process_.write(line), process_.write("\n"); }
  /// Connections accepted so far, among the events read.
  int connections = 0;

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
    auto event = QJsonDocument::fromJson(process_.readLine()).object();
    connections += event.value("event") == "connected";
    return event;
  }

  QProcess process_;
  QString host_;
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
