#pragma once

#include <QWidget>
#include <cstdint>

namespace quillmar {

// A peak meter fed from the model (set levels on each render); it draws nothing else. A
// stereo meter draws both bars over its dB scale; a one-channel bar and a scale are separate
// controls, laid out together by the window.
class LevelMeter : public QWidget {
    Q_OBJECT
  public:
    enum class Kind { Stereo, Bar, Scale };
    explicit LevelMeter(QWidget* parent = nullptr, Kind kind = Kind::Stereo);
    // Peaks as 16-bit sample magnitudes (0..32767); a bar shows the left one.
    void setLevels(std::int16_t left, std::int16_t right);
    void setLevel(std::int16_t peak) { setLevels(peak, peak); }
    std::int16_t left() const { return left_; }
    std::int16_t right() const { return right_; }
    QSize sizeHint() const override;

    // The bar's length (0..1) of a peak on the meter's -60..0 dB scale.
    static double Fraction(std::int16_t peak);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Kind kind_;
    std::int16_t left_ = 0;
    std::int16_t right_ = 0;
};

}  // namespace quillmar
