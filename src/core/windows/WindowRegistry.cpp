#include "core/windows/WindowRegistry.h"

#include "core/Station.h"
#include "core/windows/mnuMenu.h"
#include "core/ManualControls.h"
#include "logs/windows/frmActivityLog.h"
#include "settings/windows/frmHelp.h"

namespace quillmar {

void RegisterWindows(mnuMenu& menu, Station& station) {
    menu.setWindowOpener("mnuHelp", [&] { return new frmHelp(station); });
    menu.setWindowOpener("mnuAbout", [] { return new frmAbout; });
    menu.setMenuAction("mnuLoadPlayList", [&] { mnuLoadPlayList_Click(station); });
    // The log viewer reads LogKind when it loads.
    for (auto [entry, kind] : {std::pair{"mnuEbNo", "EB"}, std::pair{"mnuActivityLog", "AL"},
                               std::pair{"mnuErrorLog", "ER"}}) {
        menu.setWindowOpener(entry, [&station, kind] {
            station.LogKind = kind;
            return new frmActivityLog(station);
        });
    }
}

}  // namespace quillmar
