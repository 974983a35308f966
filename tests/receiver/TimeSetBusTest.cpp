// The clock is set through timedated's SetTime; a stand-in on a private bus answers.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QProcess>

#include "platform/host/SystemClock.h"

using namespace quillmar;

namespace {

struct TimedatedStandIn : QDBusVirtualObject {
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& call, const QDBusConnection& bus) override {
        if (call.interface() != "org.freedesktop.timedate1" || call.member() != "SetTime")
            return false;
        received.push_back(call.arguments());
        bus.send(refusal.isEmpty()
                     ? call.createReply()
                     : call.createErrorReply("org.freedesktop.timedate1.AutomaticTimeSyncEnabled",
                                             refusal));
        return true;
    }
    QString refusal;
    QList<QVariantList> received;
};

}  // namespace

TEST(TimeSetOverDBus, TheTimeGoesToTimedatedAndARefusalComesBackWithItsReason) {
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    std::unique_ptr<QCoreApplication> app;
    if (!QCoreApplication::instance()) app = std::make_unique<QCoreApplication>(argc, argv);

    QProcess daemon;
    daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
    ASSERT_TRUE(daemon.waitForStarted(5000) && daemon.waitForReadyRead(5000));
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    {
        QDBusConnection server = QDBusConnection::connectToBus(address, "timedated-stand-in");
        TimedatedStandIn timedated;
        ASSERT_TRUE(server.registerVirtualObject("/org/freedesktop/timedate1", &timedated));
        ASSERT_TRUE(server.registerService("org.freedesktop.timedate1"));
        SystemClock clock(address.toStdString());

        for (const QString& refusal :
             {QString(), QStringLiteral("Automatic time synchronization is enabled")}) {
            timedated.refusal = refusal;
            std::vector<std::pair<bool, std::string>> answers;
            clock.setTimeOfDay(10, 54, 30, [&](bool ok, const std::string& why) {
                answers.emplace_back(ok, why);
            });
            for (const QDeadlineTimer limit(10'000); answers.empty() && !limit.hasExpired();)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            EXPECT_EQ(answers, (decltype(answers){{refusal.isEmpty(), refusal.toStdString()}}));
        }
        // Both times: today's 10:54:30 in microseconds, absolute, never asking for a password.
        const QVariantList expected{
            QDateTime(QDate::currentDate(), QTime(10, 54, 30)).toSecsSinceEpoch() * 1'000'000,
            false, false};
        EXPECT_EQ(timedated.received, (QList<QVariantList>{expected, expected}));
        server.unregisterObject("/org/freedesktop/timedate1");
    }
    QDBusConnection::disconnectFromBus("timedated-stand-in");
    daemon.kill();
    daemon.waitForFinished(5000);
}
