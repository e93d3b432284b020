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

// A notifications service of the test's own on the private bus, and a client.
struct NotificationsTest : PrivateBusTest {
  FakeNotifications fake;
  QDBusConnection client{QString()};
  void SetUp() override {
    PrivateBusTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    QDBusConnection service = Connect("service");
    ASSERT_TRUE(service.isConnected());
    ASSERT_TRUE(service.registerVirtualObject(QStringLiteral("/org/freedesktop/Notifications"), &fake));
    ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.Notifications")));
    client = Connect("client");
  }
  // Sends the notice and returns the call the service received.
  QDBusMessage Send(const DesktopNotice& notice) {
    fake.calls.clear();
    EXPECT_TRUE(ui::SendDesktopNotice(client, notice));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !fake.calls.empty(); }, 5000));
    return fake.calls.empty() ? QDBusMessage() : fake.calls[0];
  }
};

TEST_F(NotificationsTest, TheNoticeReachesTheNotificationsServiceWithItsTexts) {
  const QDBusMessage call = Send({true, "Done", "Copied files: 2 (4 KB)\nNot copied: /a/b", false});
  EXPECT_EQ(call.interface(), QStringLiteral("org.freedesktop.Notifications"));
  EXPECT_EQ(call.member(), QStringLiteral("Notify"));
  const QList<QVariant> args = call.arguments();
  ASSERT_EQ(args.size(), 8);
  EXPECT_EQ(args[0].toString(), QStringLiteral("Dualdock"));
  EXPECT_EQ(args[3].toString(), QStringLiteral("Done"));
  EXPECT_EQ(args[4].toString(), QStringLiteral("Copied files: 2 (4 KB)\nNot copied: /a/b"));
}

TEST_F(NotificationsTest, TheUrgencyFollowsTheRunsOutcome) {
  const struct {
    const char* name;
    bool failed;
    uchar urgency;
  } rows[] = {{"a run without failures is normal", false, 1}, {"a run with failures is critical", true, 2}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const QDBusMessage call = Send({true, "Done", "Copied files: 2 (4 KB)\nNot copied: /a/b", row.failed});
    const QList<QVariant> args = call.arguments();
    ASSERT_EQ(args.size(), 8);
    QVariantMap hints;
    args[6].value<QDBusArgument>() >> hints;
    EXPECT_EQ(hints.value(QStringLiteral("urgency")).value<uchar>(), row.urgency);
  }
}

// Without a listener the notice reports that it was not sent; the taskbar progress
// goes out regardless and must not fail either.
TEST_F(PrivateBusTest, WithoutTheServiceOrTheBusNothingIsSent) {
  const QDBusConnection client = Connect("client");
  ASSERT_TRUE(client.isConnected());
  const QDBusConnection none(QStringLiteral("no such connection"));
  const struct {
    const char* name;
    const QDBusConnection& connection;
  } rows[] = {{"a bus without the service", client}, {"no bus at all", none}};
  const DesktopNotice notice{true, "Done", "", false};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_FALSE(ui::SendDesktopNotice(row.connection, notice));
    ui::ShowTaskbarProgress(row.connection, 0.5, true);  // a signal nobody listens to
  }
}

}  // namespace
