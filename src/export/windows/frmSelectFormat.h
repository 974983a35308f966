#pragma once

#include <QDialog>
#include <QListWidget>
#include <vector>

#include "platform/Audio.h"

namespace quillmar {

// The codec chooser ("Select..."): the wave formats this machine can write, starting at the
// writer's format.
class frmSelectFormat : public QDialog {
    Q_OBJECT
  public:
    frmSelectFormat(const std::vector<WaveFormat>& formats, const WaveFormat& start,
                    QWidget* parent = nullptr);
    QListWidget* lstFormat;
    // The chosen format, or the starting one when nothing is selected.
    WaveFormat chosen() const;

    // Runs the dialog; false when cancelled.
    static bool Choose(QWidget* parent, const std::vector<WaveFormat>& formats, WaveFormat* chosen);

  private:
    std::vector<WaveFormat> formats_;
    WaveFormat start_;
};

}  // namespace quillmar
