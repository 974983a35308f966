#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <memory>
#include <string>

#include "platform/SerialPort.h"

namespace quillmar {

class Station;

// "Unity 4K Receiver Relay Status": opens and closes the standard relays ("R R") or the
// expansion relays ("R ER"), whichever mode it was opened with.
class frmRelay : public QWidget {
    Q_OBJECT
  public:
    frmRelay(Station& station, const std::string& mode, QWidget* parent = nullptr);
    // Its exchanges still waiting or running end without showing anything, on closing too.
    ~frmRelay() override;

    QLabel* lblRelay;
    std::array<QPushButton*, 28> cmdR{};  // 2k opens relay k + 1, 2k + 1 closes it
    QPushButton* cmdClose;
    // Row k: "Relay k + 1" before its buttons and, after them, that relay's line of the reply.
    std::array<QLabel*, 14> lblRelayNo{};
    std::array<QLabel*, 14> lblRelayLine{};

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void display(const std::string& status);

    Station& station_;
    std::string mode_;
    std::shared_ptr<SerialPort> port_;
};

}  // namespace quillmar
