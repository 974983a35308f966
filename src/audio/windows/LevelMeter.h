#pragma once

#include <QWidget>
#include <cstdint>

namespace quillmar {

// A peak meter: one bar per channel with a dB scale underneath. Fed from the model (set
// levels on each render); it draws nothing else.
class LevelMeter : public QWidget {
    Q_OBJECT
  public:
    explicit LevelMeter(QWidget* parent = nullptr);
    // Peaks as 16-bit sample magnitudes (0..32767).
    void setLevels(std::int16_t left, std::int16_t right);
    std::int16_t left() const { return left_; }
    std::int16_t right() const { return right_; }
    QSize sizeHint() const override { return {160, 34}; }

    // The bar's length (0..1) of a peak on the meter's -60..0 dB scale.
    static double Fraction(std::int16_t peak);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::int16_t left_ = 0;
    std::int16_t right_ = 0;
};

}  // namespace quillmar
