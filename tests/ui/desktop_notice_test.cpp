// The desktop notice on a private session bus, with a notifications service of
// the test's own.
#include "ui/desktop_notice.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace dd;

namespace {

// Answers every call to it with id 1 and keeps the calls.
class FakeNotifications : public QDBusVirtualObject {
 public:
  std::vector<QDBusMessage> calls;
  QString introspect(const QString&) const override { return {}; }
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    calls.push_back(message);
    connection.send(message.createReply(QVariant::fromValue(1u)));
    return true;
  }
};

// A session bus of the test's own, taken down with the test.
struct PrivateBusTest : ::testing::Test {
  QString address;
  qint64 pid = 0;
  void SetUp() override {
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty()) GTEST_SKIP() << "dbus-daemon is not installed";
    QProcess start;
    start.start(daemon, {QStringLiteral("--session"), QStringLiteral("--print-address=1"),
                         QStringLiteral("--print-pid=1"), QStringLiteral("--fork")});
    ASSERT_TRUE(start.waitForFinished(10000));
    const QStringList lines =
        QString::fromUtf8(start.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 2) << start.readAllStandardError().toStdString();
    address = lines[0].trimmed();
    pid = lines[1].trimmed().toLongLong();
    ASSERT_GT(pid, 0);
  }
  void TearDown() override {
    for (const char* name : {"client", "service"}) QDBusConnection::disconnectFromBus(QString::fromLatin1(name));
    if (pid > 0) ::kill(static_cast<pid_t>(pid), SIGTERM);
  }
  QDBusConnection Connect(const char* name) {
    return QDBusConnection::connectToBus(address, QString::fromLatin1(name));
  }
};

TEST_F(PrivateBusTest, TheNoticeReachesTheNotificationsServiceWithItsTextsAndUrgency) {
  QDBusConnection service = Connect("service");
  ASSERT_TRUE(service.isConnected());
  FakeNotifications fake;
  ASSERT_TRUE(service.registerVirtualObject(QStringLiteral("/org/freedesktop/Notifications"), &fake));
  ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.Notifications")));
  const QDBusConnection client = Connect("client");

  const struct {
    bool failed;
    uchar urgency;
  } rows[] = {{false, 1}, {true, 2}};
  for (const auto& row : rows) {
    fake.calls.clear();
    DesktopNotice notice{true, "Done", "Copied files: 2 (4 KB)\nNot copied: /a/b", row.failed};
    ASSERT_TRUE(ui::SendDesktopNotice(client, notice));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fake.calls.empty(); }, 5000));
    const QDBusMessage& call = fake.calls[0];
    EXPECT_EQ(call.interface(), QStringLiteral("org.freedesktop.Notifications"));
    EXPECT_EQ(call.member(), QStringLiteral("Notify"));
    const QList<QVariant> args = call.arguments();
    ASSERT_EQ(args.size(), 8);
    EXPECT_EQ(args[0].toString(), QStringLiteral("Dualdock"));
    EXPECT_EQ(args[3].toString(), QStringLiteral("Done"));
    EXPECT_EQ(args[4].toString(), QStringLiteral("Copied files: 2 (4 KB)\nNot copied: /a/b"));
    QVariantMap hints;
    args[6].value<QDBusArgument>() >> hints;
    EXPECT_EQ(hints.value(QStringLiteral("urgency")).value<uchar>(), row.urgency) << row.failed;
  }
}

TEST_F(PrivateBusTest, WithoutTheServiceOrTheBusNothingIsSentAndNothingFails) {
  const QDBusConnection client = Connect("client");
  ASSERT_TRUE(client.isConnected());
  const DesktopNotice notice{true, "Done", "", false};
  EXPECT_FALSE(ui::SendDesktopNotice(client, notice));
  ui::ShowTaskbarProgress(client, 0.5, true);  // a signal nobody listens to
  const QDBusConnection none(QStringLiteral("no such connection"));
  EXPECT_FALSE(ui::SendDesktopNotice(none, notice));
  ui::ShowTaskbarProgress(none, 0.5, true);
}

}  // namespace
