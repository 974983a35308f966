#include "platform/RecordFile.h"

namespace quillmar {

RecordFile FileSystem::openRecords(std::string_view drivePath, int recordLength,
                                   std::string* error) {
    auto file = openFile(drivePath, OpenMode::ReadWrite, error);
    if (!file) return {};
    return RecordFile(std::move(file), recordLength, std::string(drivePath));
}

RecordFile::RecordFile(std::unique_ptr<FileHandle> file, int recordLength, std::string drivePath)
    : file_(std::move(file)), recordLength_(recordLength), path_(std::move(drivePath)) {}

std::int64_t RecordFile::recordCount() const {
    if (!file_ || recordLength_ <= 0) return 0;
    const std::int64_t size = file_->size();
    return size > 0 ? size / recordLength_ : 0;
}

bool RecordFile::read(std::int64_t n, std::string* record) const {
    record->assign(static_cast<std::size_t>(recordLength_ > 0 ? recordLength_ : 0), '\0');
    if (!file_ || n < 1 || recordLength_ <= 0) return false;
    const std::int64_t got = file_->readAt((n - 1) * recordLength_, record->data(), recordLength_);
    return got == recordLength_;
}

void RecordFile::readRecords(std::int64_t first, int count, std::string* records) const {
    const std::int64_t length =
        recordLength_ > 0 && count > 0 ? std::int64_t{count} * recordLength_ : 0;
    records->assign(static_cast<std::size_t>(length), '\0');
    if (!file_ || first < 1 || length == 0) return;
    std::int64_t done = 0;
    while (done < length) {
        const std::int64_t got = file_->readAt((first - 1) * recordLength_ + done,
                                               records->data() + done, length - done);
        if (got <= 0) break;
        done += got;
    }
}

bool RecordFile::write(std::int64_t n, std::string_view data, std::string* error) {
    if (!file_ || n < 1 || recordLength_ <= 0) {
        if (error) *error = "file is not open";
        return false;
    }
    std::string record(data.substr(0, static_cast<std::size_t>(recordLength_)));
    record.resize(static_cast<std::size_t>(recordLength_), '\0');
    const std::int64_t offset = (n - 1) * recordLength_;
    std::string reason;
    if (file_->writeAt(offset, record, &reason)) return true;
    if (error) *error = reason;
    // Never leave half a record behind: cut back what this write added.
    const std::int64_t size = file_->size();
    if (size > offset && size < offset + recordLength_) file_->truncate(offset, nullptr);
    return false;
}

}  // namespace quillmar
