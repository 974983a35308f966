#pragma once
// The address book (AddressBook.dat, 120-byte records) and the station's mail account
// (User.dat, three lines).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillmar {

class FileSystem;
struct ExportState;
struct MailAccount;

// The mail account's file.
inline constexpr const char* kUserFilePath = "c:\\Satfile\\User.dat";

inline constexpr int kAddressRecordLength = 120;
inline constexpr std::size_t kAddressNameWidth = 16;
inline constexpr std::size_t kAddressWidth = 39;

// InUse values.
inline constexpr char kEntryInUse = '1';
inline constexpr char kEntryDeleted = '0';
// A DayOn box ticked or not.
inline constexpr char kDayTicked = '1';
inline constexpr char kDayNotTicked = '0';

// SendMode values.
inline constexpr char kSendNever = '0';
inline constexpr char kSendAlways = '1';
inline constexpr char kSendSometimes = '2';

// One record. Name and Address are held without their trailing blanks; days are 0 = Sunday
// to 6 = Saturday.
struct AddressEntry {
    char InUse = 0;  // kEntryInUse, kEntryDeleted, or blank or 0: never used
    char SendMode = kSendNever;
    std::string Name;
    std::string Address;
    std::array<char, 7> DayOn{kDayNotTicked, kDayNotTicked, kDayNotTicked, kDayNotTicked,
                              kDayNotTicked, kDayNotTicked, kDayNotTicked};
    std::array<std::int32_t, 7> StartSec{};
    std::array<std::int32_t, 7> StopSec{};

    bool inUse() const { return InUse == kEntryInUse; }
    friend bool operator==(const AddressEntry&, const AddressEntry&) = default;
};

// A record's bytes (short ones read as if padded with zero bytes) and back, 120 bytes.
AddressEntry ParseAddressEntry(std::string_view record);
std::string FormatAddressEntry(const AddressEntry& entry);

// Record n of the open AddressBookFile (all zero past the end).
AddressEntry ReadAddressEntry(const ExportState& book, int recordNo);
bool WriteAddressEntry(ExportState& book, int recordNo, const AddressEntry& entry,
                       std::string* error);
// Whole records in the file.
int AddressEntryCount(const ExportState& book);

// "Never", "Always" or "Sometimes".
std::string SendModeWord(char mode);

// The list of the address book window: one line per entry in use, in file order.
struct AddressBookLine {
    std::string text;  // Name (16), a blank, Address (39), a blank, the mode word
    int recordNo = 0;
};
std::vector<AddressBookLine> LoadAddressBook(const ExportState& book);
// The record "New" fills: the first one, from 1, not in use (possibly one past the end).
int NewAddressRecordNo(const ExportState& book);
// Marks a record deleted ("0"), keeping its slot.
bool DeleteAddressEntry(ExportState& book, int recordNo, std::string* error);

// "hh:mm:ss" of seconds after midnight, and back. An empty text is midnight; false for a
// text that is no time of day.
std::string TimeOfDayText(std::int32_t seconds);
bool ParseTimeOfDay(std::string_view text, std::int32_t* seconds);

// Takes the account into memory and rewrites User.dat whole (facility, user name,
// password), readable by its owner only.
bool SaveMailAccount(ExportState& state, FileSystem& files, const MailAccount& account,
                     std::string* error);

}  // namespace quillmar
