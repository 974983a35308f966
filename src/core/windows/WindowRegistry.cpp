#include "core/windows/WindowRegistry.h"

#include <QPointer>
#include <functional>
#include <memory>
#include <string>

#include "audio/windows/frmAudition.h"
#include "core/ManualControls.h"
#include "core/ScheduleSequences.h"
#include "core/Station.h"
#include "core/windows/mnuMenu.h"
#include "export/windows/frmAddressBook.h"
#include "export/windows/frmAutoExport.h"
#include "export/windows/frmMyAccount.h"
#include "export/windows/frmSend.h"
#include "logs/windows/frmActivityLog.h"
#include "logs/windows/frmSignal.h"
#include "receiver/windows/frmComSelect.h"
#include "receiver/windows/frmDisplayReceiver.h"
#include "receiver/windows/frmProgramSourceCodes.h"
#include "receiver/windows/frmRelay.h"
#include "receiver/windows/frmSetReceiver.h"
#include "schedule/windows/frmSchedule.h"
#include "schedule/windows/frmWeeklySchedule.h"
#include "settings/windows/frmHelp.h"
#include "settings/windows/frmMyComputer.h"

namespace quillmar {

namespace {

// One window that several entries open, each in its own mode (the log kind, the relay set).
// The entry of the mode on show brings it forward; another mode replaces it, so the window
// never shows one mode while acting in another.
struct SharedWindow {
    QPointer<QWidget> window;
    std::string mode;

    void show(const std::string& wanted, const std::function<QWidget*()>& open) {
        if (window && mode != wanted) {
            window->close();
            window = nullptr;
        }
        if (!window) {
            window = open();
            window->setAttribute(Qt::WA_DeleteOnClose);
            mode = wanted;
        }
        window->show();
        window->raise();
        window->activateWindow();
    }
};

}  // namespace

void RegisterWindows(mnuMenu& menu, Station& station) {
    menu.setWindowOpener("mnuAddressBook", [&] { return new frmAddressBook(station); });
    menu.setWindowOpener("mnuMyEmailAccount", [&] { return new frmMyAccount(station); });
    menu.setWindowOpener("mnuAutoExport", [&] { return new frmAutoExport(station); });
    menu.setWindowOpener("mnuHelp", [&] { return new frmHelp(station); });
    menu.setWindowOpener("mnuAbout", [] { return new frmAbout; });
    menu.setMenuAction("mnuLoadPlayList", [&] { mnuLoadPlayList_Click(station); });
    // Audio engine: the audition window and the settings form.
    menu.setWindowOpener("mnuAudition", [&] {
        auto* audition = new frmAudition(station);
        // Files → Export: the send-to-file window for the chosen programme.
        audition->openSendToFile = [&station, audition](const std::string& file) {
            OpenSendToFile(station, audition->audition().AuditionRecordNo, file);
        };
        return audition;
    });
    menu.setWindowOpener("mnuMyComputer", [&] { return new frmMyComputer(station); });
    // Schedule store: the editor, the three week views sharing one window, the floppy copies.
    menu.setWindowOpener("mnuSchedule", [&] { return new frmSchedule(station); });
    auto weekly = std::make_shared<QPointer<frmWeeklySchedule>>();
    for (auto [entry, build] : {std::pair{"mnuPlaySchedule", &ShowWeeklyPlaySchedule},
                                std::pair{"mnuRecordSchedule", &ShowWeeklyRecordSchedule},
                                std::pair{"mnuSwitchSchedule", &ShowWeeklySwitchSchedule}})
        menu.setMenuAction(entry, [&station, weekly, build] {
            frmWeeklySchedule::showView(station, *weekly, build);
        });
    menu.setMenuAction("mnuSaveToFloppy", [&] { SaveFilesToFloppy(station); });
    menu.setMenuAction("mnuLoadAutoExportFromFloppy", [&] { LoadAutoExportFromFloppy(station); });
    menu.setMenuAction("mnuLoadSourceCodesFromFloppy", [&] { LoadSourceCodesFromFloppy(station); });
    menu.setMenuAction("mnuLoadScheduleFromFloppy", [&] { LoadScheduleFromFloppy(station); });
    menu.setMenuAction("mnuLoadSetupFromFloppy", [&] { LoadSetupFromFloppy(station); });
    // Receiver link. A status view replaces the one on screen.
    menu.setWindowOpener("mnuProgramSourceCodes",
                         [&] { return new frmProgramSourceCodes(station); });
    menu.setWindowOpener("mnuCommunications", [&] { return new frmComSelect(station); });
    menu.setWindowOpener("mnuSetReceiver", [&] { return new frmSetReceiver(station); });
    for (auto [entry, command] :
         {std::pair{"mnuCarrier", "RT C"}, std::pair{"mnuMPEG", "R M"},
          std::pair{"mnuReceiverSerialPort", "R SP"}, std::pair{"mnuSettings", "R S"}})
        menu.setMenuAction(entry,
                           [&station, command] { frmDisplayReceiver::showFor(station, command); });
    auto relays = std::make_shared<SharedWindow>();
    for (auto [entry, command] :
         {std::pair{"mnuRelays", "R R"}, std::pair{"mnuExtendedRelays", "R ER"}})
        menu.setMenuAction(entry, [&station, relays, command = std::string(command)] {
            if (command == "R ER") frmDisplayReceiver::closeAll();
            relays->show(command, [&station, command] { return new frmRelay(station, command); });
        });
    auto logs = std::make_shared<SharedWindow>();
    for (auto [entry, kind] : {std::pair{"mnuEbNo", "EB"}, std::pair{"mnuActivityLog", "AL"},
                               std::pair{"mnuErrorLog", "ER"}}) {
        menu.setMenuAction(entry, [&station, logs, kind = std::string(kind)] {
            logs->show(kind, [&station, kind] { return new frmActivityLog(station, kind); });
        });
    }
    menu.setWindowOpener("mnuSignal", [&] { return new frmSignal(station); });
}

}  // namespace quillmar
