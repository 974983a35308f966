#include "core/windows/WindowRegistry.h"

#include "core/Station.h"
#include "core/windows/mnuMenu.h"

namespace quillmar {

void RegisterWindows(mnuMenu& menu, Station& station) {
    // One line per window: menu.setWindowOpener("mnuSchedule", [&] { return new frmSchedule(station); });
    (void)menu;
    (void)station;
}

}  // namespace quillmar
