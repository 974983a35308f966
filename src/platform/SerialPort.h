#pragma once
// The receiver's serial line. A port object is opened and closed around each exchange; the
// station never keeps the line open between exchanges.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace quillmar {

struct SerialError {
    int number = 0;
    std::string description;
};

class SerialPort {
  public:
    virtual ~SerialPort() = default;
    // Opens port 1..4 with line settings such as "9600,N,8,1". No handshake.
    virtual bool open(int port, std::string_view settings, SerialError* error) = 0;
    virtual bool isOpen() const = 0;
    virtual void close() = 0;
    // Throws away whatever has arrived and not been read.
    virtual void discardInput() = 0;
    virtual bool write(std::string_view bytes, SerialError* error) = 0;
    // Everything waiting now, possibly nothing.
    virtual std::string readWaiting() = 0;
    // Called on the loop thread when input may have arrived (read it with readWaiting); an
    // empty function stops the calls. The handler may replace or clear itself.
    virtual void setReadyRead(std::function<void()> handler) = 0;
};

// Makes the port objects: the main window's, the status view's and the relay panel's.
class SerialPorts {
  public:
    virtual ~SerialPorts() = default;
    virtual std::unique_ptr<SerialPort> create() = 0;
};

}  // namespace quillmar
