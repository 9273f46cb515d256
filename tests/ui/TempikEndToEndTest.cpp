// tempik itself, started offscreen beside eos-sim on loopback: the console's taps come back
// as the tempo command.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <optional>
#include <vector>

namespace {

struct Message {
  QString address;
  QStringList arguments;
};

// eos-sim with JSON output, read line by line.
class Console {
 public:
  explicit Console(const QStringList& arguments) {
    process_.setProgram(QStringLiteral(EOS_SIM_PATH));
    process_.setArguments(arguments + QStringList{"--json"});
    process_.start();
  }
  ~Console() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.write("q\n");
    if (!process_.waitForFinished(3000)) process_.kill();
    process_.waitForFinished(3000);
  }

  // The next event line, or nothing once the deadline passes or the console ends.
  std::optional<QJsonObject> nextEvent(QDeadlineTimer deadline) {
    while (!process_.canReadLine()) {
      if (process_.state() == QProcess::NotRunning || deadline.hasExpired()) return std::nullopt;
      process_.waitForReadyRead(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 1)));
    }
    return QJsonDocument::fromJson(process_.readLine()).object();
  }

  // The next message received from tempik with this address.
  std::optional<Message> nextMessage(const QString& address, QDeadlineTimer deadline) {
    while (const auto event = nextEvent(deadline)) {
      if (event->value("event") != "message" || event->value("address") != address) continue;
      Message message{address, {}};
      for (const auto& argument : event->value("args").toArray()) {
        message.arguments.push_back(argument.toString());
      }
      return message;
    }
    return std::nullopt;
  }

  QProcess& process() { return process_; }

 private:
  QProcess process_;
};

TEST(TempikEndToEnd, AnswersTheConsolesTapsWithTheTempoCommand) {
  QTemporaryDir configHome;
  ASSERT_TRUE(QDir().mkpath(configHome.path() + "/tempik"));
  {
    QFile settings(configHome.path() + "/tempik/tempik.conf");
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[General]\neosIP=127.0.0.1\nbpmFX=1\nbpmMacro=901\n");
  }

  // tempik always talks to port 3038. The console taps at a steady 120 BPM by itself.
  Console console({"--listen", "127.0.0.1:3038", "--tap-bpm", "120"});
  const auto listening = console.nextEvent(QDeadlineTimer(10'000));
  ASSERT_TRUE(listening && listening->value("event") == "listening")
      << "eos-sim cannot listen on 127.0.0.1:3038 (is another console running?)";

  QProcess tempik;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  environment.insert("XDG_CONFIG_HOME", configHome.path());
  tempik.setProcessEnvironment(environment);
  tempik.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  tempik.start(QStringLiteral(TEMPIK_PATH), {});
  ASSERT_TRUE(tempik.waitForStarted(10'000));

  const QDeadlineTimer deadline(30'000);
  // Connected: the Effect key is pressed twice.
  EXPECT_TRUE(console.nextMessage("/eos/user/20/key/effect", deadline));
  EXPECT_TRUE(console.nextMessage("/eos/user/20/key/effect", deadline));

  // The third tap gives the tempo (the console's timer may stray by a beat or so).
  const auto command = console.nextMessage("/eos/user/20/newcmd", deadline);
  ASSERT_TRUE(command) << "no tempo command within 30 s";
  ASSERT_EQ(command->arguments.size(), 1);
  const QString text = command->arguments.front();
  ASSERT_TRUE(text.startsWith("Effect 1 BPM ") && text.endsWith("#")) << text.toStdString();
  const int bpm = text.mid(13, text.size() - 14).toInt();
  EXPECT_NEAR(bpm, 120, 3) << text.toStdString();

  const auto label = console.nextMessage("/eos/set/macro/901/label", deadline);
  ASSERT_TRUE(label);
  EXPECT_EQ(label->arguments, QStringList{QStringLiteral("BPM || %1").arg(bpm)});

  EXPECT_EQ(tempik.state(), QProcess::Running);
  tempik.terminate();
  EXPECT_TRUE(tempik.waitForFinished(10'000));
}

}  // namespace
