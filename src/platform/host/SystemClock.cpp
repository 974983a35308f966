#include "platform/host/SystemClock.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QObject>
#include <ctime>

namespace quillmar {

namespace {

QDBusConnection Bus(const QString& name) {
    return name.isEmpty() ? QDBusConnection::systemBus() : QDBusConnection(name);
}

}  // namespace

SystemClock::SystemClock(const std::string& busAddress) : context_(new QObject) {
    if (busAddress.empty()) return;
    connectionName_ = "quillmar-clock";
    QDBusConnection::connectToBus(QString::fromStdString(busAddress), connectionName_);
}

SystemClock::~SystemClock() {
    context_.reset();
    if (!connectionName_.isEmpty()) QDBusConnection::disconnectFromBus(connectionName_);
}

DateTime SystemClock::now() const {
    timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    // The clock tick asks several times a second; the local time of a second is worked out
    // once. Per thread, so that workers may ask too.
    thread_local std::time_t cachedSecond = -1;
    thread_local std::tm tm{};
    if (ts.tv_sec != cachedSecond) {
        ::localtime_r(&ts.tv_sec, &tm);
        cachedSecond = ts.tv_sec;
    }
    return DateTime::from(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                          tm.tm_sec > 59 ? 59 : tm.tm_sec,
                          static_cast<int>(ts.tv_nsec / 1'000'000));
}

void SystemClock::setTimeOfDay(int hour, int minute, int second, SetDone done) {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&t, &tm);
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    t = std::mktime(&tm);
    QDBusMessage call =
        QDBusMessage::createMethodCall("org.freedesktop.timedate1", "/org/freedesktop/timedate1",
                                       "org.freedesktop.timedate1", "SetTime");
    // Microseconds since the epoch, absolute, and no password prompt: nobody is there to answer.
    call << static_cast<qlonglong>(t) * 1'000'000 << false << false;
    auto* watcher =
        new QDBusPendingCallWatcher(Bus(connectionName_).asyncCall(call, 25'000), context_.get());
    // A call that failed at once (no bus) still finishes on the loop, after this returns.
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context_.get(),
                     [watcher, done = std::move(done)] {
                         watcher->deleteLater();
                         if (!watcher->isError()) return done(true, {});
                         const QDBusError error = watcher->error();
                         const QString why =
                             error.message().isEmpty() ? error.name() : error.message();
                         done(false, why.toStdString());
                     });
}

}  // namespace quillmar
