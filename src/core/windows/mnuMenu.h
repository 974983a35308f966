#pragma once

#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "audio/AudioState.h"
#include "core/MainWindowModel.h"

namespace quillmar {

class Station;
class LevelMeter;

// The main window: renders the station's main-window model and forwards the operator's
// actions. Menu entries whose window is not registered stay disabled.
class mnuMenu : public QMainWindow {
    Q_OBJECT
  public:
    explicit mnuMenu(Station& station, QWidget* parent = nullptr);

    // Makes a menu entry (by objectName) open a window. The factory runs when the window is
    // not open; an open one is brought forward instead.
    void setWindowOpener(const QString& entry, std::function<QWidget*()> factory);
    // Makes a menu entry run an action.
    void setMenuAction(const QString& entry, std::function<void()> action);
    // Asks "Exit Quillmar?"; replaceable so tests can answer.
    std::function<bool()> askExit;

    void render();

    QLabel* lblStartHere;
    QLabel *lblClock, *lblNextToRecord, *lblNextTimedPlay, *lblNextSwitch, *lblRecTime,
        *lblRecordTimer, *lblNextPlayTime, *lblPlayTime, *lblSwitchTimer, *lblRecordName,
        *lblRecordRelay, *lblPlayRelay, *lblPort, *lblPlayDay, *Label1, *Label2, *Label3;
    QPushButton *cmdRecord, *cmdRecStop, *cmdPlay, *cmdStop;
    // Record meters (MMLevelX3 left, MMLevelX4 right, scale MMLevelScaleX2) and play meters
    // (MMLevelX1 left, MMLevelX2 right, scale MMLevelScaleX1).
    LevelMeter *MMLevelX3, *MMLevelX4, *MMLevelScaleX2, *MMLevelX1, *MMLevelX2, *MMLevelScaleX1;
    // The export: progress gauge and the level meter of its chain (MMLevelX5).
    QProgressBar* Gauge;
    LevelMeter* MMLevelX5;
    // The floppy backup and restores.
    QProgressBar* ProgressBar1;
    QListWidget* PlayList;

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildMenus();
    QAction* entry(const QString& name) const;

    Station& station_;
    std::map<QString, QPointer<QWidget>> openWindows_;
    std::set<QString> wired_;  // entries given an action or a window
    // What the last render showed: the station notifies on every tick, and an unchanged
    // model must cost neither text conversions nor repaints.
    std::array<std::optional<std::string>, 15> shownLabels_;
    std::vector<PlaylistEntry> shownPlayList_;
    std::optional<std::string> shownCaption_;
    std::optional<MainWindowModel::ButtonColour> shownRecordColour_;
    std::optional<ButtonColour> shownPlayColour_;
    std::optional<int> shownPlayListIndex_;
    std::optional<std::uint32_t> shownVisibility_;
    std::optional<std::array<int, 9>> shownNumbers_;
    std::optional<bool> shownFloppyBusy_;
};

}  // namespace quillmar
