#pragma once

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QWidget>
#include <functional>
#include <memory>

#include "audio/Audition.h"
#include "audio/windows/LevelMeter.h"

namespace quillmar {

class Station;

// "Audition": listen to a recorded programme on the audition card and set its marks.
class frmAudition : public QWidget {
    Q_OBJECT
  public:
    explicit frmAudition(Station& station, QWidget* parent = nullptr);
    ~frmAudition() override;

    // Files → Export hands the file to the send-to-file window through this, once it exists.
    std::function<void(const std::string& waveFile)> openSendToFile;

    QListWidget *lstSchedule, *lstDay;
    QPushButton *cmdPlay, *cmdStopPlay, *cmdPause, *cmdTrim, *cmdEOM, *cmdClose;
    QSlider* TrackBar;
    LevelMeter *Level1, *Level2;  // left and right, over an unnamed dB scale
    QLabel *lblTime, *lblDown, *lblNumber, *lblWave;

    Audition& audition() { return *audition_; }
    void render();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    Station& station_;
    std::unique_ptr<Audition> audition_;
};

// A button colour as a style sheet; empty as laid out.
QString ColourStyle(ButtonColour colour);

}  // namespace quillmar
