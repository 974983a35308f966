#pragma once

#include <string>

namespace quillmar {

class Station;

inline constexpr const char* kDataFolder = "c:\\satfile";
inline constexpr const char* kExportFilePath = "c:\\satfile\\Exportinfo.dat";
inline constexpr const char* kAddressBookPath = "c:\\Satfile\\AddressBook.dat";

// Folders, data files, settings, mail account and day names, in start-up order. False with a
// message naming the path and the reason when a data file cannot be opened.
bool InitializeStation(Station& st, std::string* error);
// The main window's load: InitializeStation, the first next-event texts, the playlist, and
// the clock tick started.
bool StartStation(Station& st, std::string* error);
// The main window became active: Play and Play Stop follow their settings (only 0 hides and
// only 1 shows) and a message on screen is brought back into view.
void MainWindowActivated(Station& st);
// The answer to "Exit Quillmar?": true ends the program.
bool AnswerExitQuestion(Station& st, bool yes);

}  // namespace quillmar
