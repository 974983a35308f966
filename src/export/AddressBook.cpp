#include "export/AddressBook.h"

#include "export/ExportState.h"
#include "platform/DateTime.h"
#include "platform/FileSystem.h"
#include "platform/LittleEndian.h"

namespace quillmar {

namespace {

constexpr std::size_t kNameAt = 2;
constexpr std::size_t kAddressAt = 18;
constexpr std::size_t kDaysAt = 57;
constexpr std::size_t kStartAt = 64;
constexpr std::size_t kStopAt = 92;

std::string Field(std::string_view record, std::size_t at, std::size_t width) {
    std::string text(record.substr(at, width));
    for (char& c : text)
        if (c == '\0') c = ' ';
    const auto end = text.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

void PutField(std::string& record, std::size_t at, std::size_t width, const std::string& text) {
    std::string cut = text.substr(0, width);
    cut.resize(width, ' ');
    record.replace(at, width, cut);
}

// A line of User.dat holds one value: a line break inside it would shift the ones after.
std::string OneLine(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

bool ParseNumber(std::string_view text, int max, int* value) {
    if (text.empty() || text.size() > 2) return false;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v > max) return false;
    *value = v;
    return true;
}

}  // namespace

AddressEntry ParseAddressEntry(std::string_view bytes) {
    std::string record(bytes.substr(0, kAddressRecordLength));
    record.resize(kAddressRecordLength, '\0');
    AddressEntry e;
    e.InUse = record[0];
    e.SendMode = record[1];
    e.Name = Field(record, kNameAt, kAddressNameWidth);
    e.Address = Field(record, kAddressAt, kAddressWidth);
    for (int d = 0; d < 7; ++d) {
        e.DayOn[d] = record[kDaysAt + d];
        e.StartSec[d] = Int32At(record, kStartAt + 4 * d);
        e.StopSec[d] = Int32At(record, kStopAt + 4 * d);
    }
    return e;
}

std::string FormatAddressEntry(const AddressEntry& e) {
    std::string record(kAddressRecordLength, '\0');
    record[0] = e.InUse;
    record[1] = e.SendMode;
    PutField(record, kNameAt, kAddressNameWidth, e.Name);
    PutField(record, kAddressAt, kAddressWidth, e.Address);
    for (int d = 0; d < 7; ++d) {
        record[kDaysAt + d] = e.DayOn[d];
        PutInt32(record, kStartAt + 4 * d, e.StartSec[d]);
        PutInt32(record, kStopAt + 4 * d, e.StopSec[d]);
    }
    return record;
}

AddressEntry ReadAddressEntry(const ExportState& book, int recordNo) {
    std::string record;
    book.AddressBookFile.read(recordNo, &record);
    return ParseAddressEntry(record);
}

bool WriteAddressEntry(ExportState& book, int recordNo, const AddressEntry& entry,
                       std::string* error) {
    if (recordNo < 1) {
        if (error) *error = "no record chosen";
        return false;
    }
    return book.AddressBookFile.write(recordNo, FormatAddressEntry(entry), error);
}

int AddressEntryCount(const ExportState& book) {
    return static_cast<int>(book.AddressBookFile.recordCount());
}

std::string SendModeWord(char mode) {
    switch (mode) {
        case kSendAlways:
            return "Always";
        case kSendSometimes:
            return "Sometimes";
        default:
            return "Never";
    }
}

std::vector<AddressBookLine> LoadAddressBook(const ExportState& book) {
    std::vector<AddressBookLine> lines;
    const int count = AddressEntryCount(book);
    for (int n = 1; n <= count; ++n) {
        const AddressEntry e = ReadAddressEntry(book, n);
        if (!e.inUse()) continue;
        std::string name = e.Name.substr(0, kAddressNameWidth);
        name.resize(kAddressNameWidth, ' ');
        std::string address = e.Address.substr(0, kAddressWidth);
        address.resize(kAddressWidth, ' ');
        lines.push_back({name + " " + address + " " + SendModeWord(e.SendMode), n});
    }
    return lines;
}

int NewAddressRecordNo(const ExportState& book) {
    const int count = AddressEntryCount(book);
    for (int n = 1; n <= count; ++n)
        if (!ReadAddressEntry(book, n).inUse()) return n;
    return count + 1;
}

bool DeleteAddressEntry(ExportState& book, int recordNo, std::string* error) {
    AddressEntry e = ReadAddressEntry(book, recordNo);
    e.InUse = kEntryDeleted;
    return WriteAddressEntry(book, recordNo, e, error);
}

std::string TimeOfDayText(std::int32_t seconds) {
    if (seconds < 0 || seconds >= 86400) seconds = 0;
    return TimeText(seconds);
}

bool ParseTimeOfDay(std::string_view text, std::int32_t* seconds) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (text.empty()) {
        *seconds = 0;
        return true;
    }
    int parts[3] = {0, 0, 0};
    const int max[3] = {23, 59, 59};
    int count = 0;
    while (true) {
        const auto colon = text.find(':');
        if (count == 3 || !ParseNumber(text.substr(0, colon), max[count], &parts[count]))
            return false;
        ++count;
        if (colon == std::string_view::npos) break;
        text.remove_prefix(colon + 1);
    }
    if (count < 2) return false;
    *seconds = parts[0] * 3600 + parts[1] * 60 + parts[2];
    return true;
}

bool SaveMailAccount(ExportState& state, FileSystem& files, const MailAccount& account,
                     std::string* error) {
    state.Account = {OneLine(account.Facility), OneLine(account.UserName),
                     OneLine(account.Password)};
    const std::string text = state.Account.Facility + "\r\n" + state.Account.UserName + "\r\n" +
                             state.Account.Password + "\r\n";
    return files.writePrivateFile(kUserFilePath, text, error);
}

}  // namespace quillmar
