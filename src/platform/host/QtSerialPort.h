#pragma once
// Serial ports through Qt Serial Port. Port N is <data root>/devices/comN when that exists
// (a link the operator or installer makes), else /dev/ttyS(N-1).

#include <string>

#include "platform/SerialPort.h"

namespace quillmar {

class QtSerialPorts : public SerialPorts {
  public:
    explicit QtSerialPorts(std::string dataRoot) : root_(std::move(dataRoot)) {}
    std::unique_ptr<SerialPort> create() override;
    std::string devicePath(int port) const;

  private:
    std::string root_;
};

}  // namespace quillmar
