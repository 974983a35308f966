#include "audio/windows/LevelMeter.h"

#include <QPainter>
#include <cmath>

namespace quillmar {

namespace {

constexpr int kScaleHeight = 12;
constexpr int kBarHeight = 11;

}  // namespace

LevelMeter::LevelMeter(QWidget* parent, Kind kind) : QWidget(parent), kind_(kind) {
    setMinimumSize(120, sizeHint().height());
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize LevelMeter::sizeHint() const {
    switch (kind_) {
        case Kind::Bar:
            return {160, kBarHeight};
        case Kind::Scale:
            return {160, kScaleHeight};
        default:
            return {160, 2 * (kBarHeight + 1) + kScaleHeight};
    }
}

void LevelMeter::setLevels(std::int16_t left, std::int16_t right) {
    if (left == left_ && right == right_) return;
    left_ = left;
    right_ = right;
    update();
}

double LevelMeter::Fraction(std::int16_t peak) {
    if (peak <= 0) return 0;
    const double db = 20.0 * std::log10(static_cast<double>(peak) / 32767.0);
    if (db <= -60.0) return 0;
    return db >= 0 ? 1.0 : (db + 60.0) / 60.0;
}

void LevelMeter::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = width();
    p.fillRect(rect(), palette().window());
    const int bars = kind_ == Kind::Stereo ? 2 : kind_ == Kind::Bar ? 1 : 0;
    const int barH = kind_ == Kind::Bar ? height() : (height() - kScaleHeight) / 2;
    const std::int16_t peaks[2] = {left_, right_};
    for (int ch = 0; ch < bars; ++ch) {
        const QRect bar(0, ch * (barH + 1), w, barH);
        p.fillRect(bar, Qt::black);
        const int len = static_cast<int>(Fraction(peaks[ch]) * w);
        // Green to -6 dB, yellow to -1 dB, red above.
        const int green = static_cast<int>(w * 54.0 / 60.0),
                  yellow = static_cast<int>(w * 59.0 / 60.0);
        p.fillRect(QRect(0, bar.y(), std::min(len, green), barH), QColor(0, 200, 0));
        if (len > green)
            p.fillRect(QRect(green, bar.y(), std::min(len, yellow) - green, barH), Qt::yellow);
        if (len > yellow) p.fillRect(QRect(yellow, bar.y(), len - yellow, barH), Qt::red);
    }
    if (kind_ == Kind::Bar) return;
    // Scale: -60 .. 0 dB every 10 dB.
    QFont f = font();
    f.setPointSize(6);
    p.setFont(f);
    p.setPen(palette().windowText().color());
    const int y = height() - kScaleHeight;
    for (int db = -60; db <= 0; db += 10) {
        const int x = static_cast<int>((db + 60) / 60.0 * (w - 1));
        p.drawLine(x, y, x, y + 2);
        const QString label = QString::number(db);
        const int tw = p.fontMetrics().horizontalAdvance(label);
        p.drawText(std::clamp(x - tw / 2, 0, w - tw), height() - 1, label);
    }
}

}  // namespace quillmar
