#pragma once

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <memory>
#include <string>

#include "platform/SerialPort.h"

namespace quillmar {

class Station;

// "Receiver Data": one receiver report, fetched with its status command on opening.
class frmDisplayReceiver : public QWidget {
    Q_OBJECT
  public:
    frmDisplayReceiver(Station& station, const std::string& command, QWidget* parent = nullptr);
    // Its exchanges still waiting or running end without showing anything, on closing too.
    ~frmDisplayReceiver() override;
    // Closes any status view on screen, then opens one for command (it runs the query).
    static frmDisplayReceiver* showFor(Station& station, const std::string& command);
    // Closes the status views on screen.
    static void closeAll();
    const std::string& command() const { return command_; }

    QLabel* lblDisplayReceiver;
    QPushButton *cmdDisplayReceiverRefresh, *cmdDisplayReceiverExit;
    QAction *mnuPrint, *mnuPrintToFile, *mnuExit;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void display(const std::string& report);

    Station& station_;
    std::string command_;
    std::string report_;
    std::shared_ptr<SerialPort> port_;
};

}  // namespace quillmar
