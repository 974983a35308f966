#include "platform/host/QtSerialPort.h"

#include <QSerialPort>
#include <charconv>
#include <filesystem>
#include <functional>

#include "platform/host/DeviceLink.h"

namespace quillmar {

namespace {

class QtPort : public SerialPort {
  public:
    explicit QtPort(const QtSerialPorts& ports) : ports_(ports) {
        QObject::connect(&port_, &QSerialPort::readyRead, [this] {
            const std::function<void()> handler = readyRead_;  // it may clear itself
            if (handler) handler();
        });
    }
    ~QtPort() override { close(); }

    bool open(int port, std::string_view settings, SerialError* error) override {
        if (port_.isOpen()) return Fail(error, 8005, "Port already open");
        if (port < 1 || port > 4) return Fail(error, 8002, "Invalid port number");
        int baud = 0;
        const auto comma = settings.find(',');
        const std::string_view rate = settings.substr(0, comma);
        const auto [end, ec] = std::from_chars(rate.data(), rate.data() + rate.size(), baud);
        if (ec != std::errc() || end != rate.data() + rate.size() || baud <= 0)
            return Fail(error, 380, "Invalid property value");
        const std::string path = ports_.devicePath(port);
        if (const std::string why = CheckDevice(path, DeviceKind::CharacterDevice); !why.empty()) {
            if (error) *error = {static_cast<int>(QSerialPort::PermissionError), why};
            return false;
        }
        port_.setPortName(QString::fromStdString(path));
        port_.setBaudRate(baud);
        port_.setDataBits(QSerialPort::Data8);
        port_.setParity(QSerialPort::NoParity);
        port_.setStopBits(QSerialPort::OneStop);
        port_.setFlowControl(QSerialPort::NoFlowControl);
        if (!port_.open(QIODevice::ReadWrite)) return Fail(error);
        return true;
    }
    bool isOpen() const override { return port_.isOpen(); }
    void close() override {
        if (port_.isOpen()) port_.close();
    }
    void discardInput() override {
        if (!port_.isOpen()) return;
        port_.clear(QSerialPort::Input);
        port_.waitForReadyRead(0);
        port_.readAll();
    }
    bool write(std::string_view bytes, SerialError* error) override {
        if (!port_.isOpen()) return Fail(error, 8012, "The device is not open");
        if (port_.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()))
            return Fail(error);
        // Without a running event loop the bytes leave only while we wait for them.
        while (port_.bytesToWrite() > 0)
            if (!port_.waitForBytesWritten(1000)) return Fail(error);
        return true;
    }
    std::string readWaiting() override {
        if (!port_.isOpen()) return {};
        const QByteArray bytes = port_.readAll();
        return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
    void setReadyRead(std::function<void()> handler) override { readyRead_ = std::move(handler); }

  private:
    bool Fail(SerialError* error, int number, const char* description) {
        if (error) *error = {number, description};
        return false;
    }
    // Qt may leave a stale description after success, so the number comes from error().
    bool Fail(SerialError* error) {
        if (error) {
            int number = static_cast<int>(port_.error());
            if (number == 0) number = static_cast<int>(QSerialPort::UnknownError);
            *error = {number, port_.errorString().toStdString()};
        }
        return false;
    }

    const QtSerialPorts& ports_;
    QSerialPort port_;
    std::function<void()> readyRead_;
};

}  // namespace

std::unique_ptr<SerialPort> QtSerialPorts::create() {
    return std::make_unique<QtPort>(*this);
}

std::string QtSerialPorts::devicePath(int port) const {
    const std::string link = root_ + "/devices/com" + std::to_string(port);
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(link, ec))) return link;
    return "/dev/ttyS" + std::to_string(port - 1);
}

}  // namespace quillmar
