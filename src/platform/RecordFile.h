#pragma once
// A file of fixed-length records numbered from 1. A read beyond the end gives zero bytes, a
// write one past the end grows the file, and each record is written whole. Opened through
// FileSystem::openRecords.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/FileSystem.h"

namespace quillmar {

class RecordFile {
  public:
    RecordFile() = default;
    RecordFile(std::unique_ptr<FileHandle> file, int recordLength, std::string drivePath);

    void close() { file_.reset(); }
    bool isOpen() const { return file_ != nullptr; }
    int recordLength() const { return recordLength_; }
    // The drive path it was opened by.
    const std::string& path() const { return path_; }

    // Whole records in the file; a partial last record does not count.
    std::int64_t recordCount() const;
    // Reads record n (from 1). Bytes beyond the end read as zero. Returns false when the
    // record is not wholly in the file (the end-of-file condition).
    bool read(std::int64_t n, std::string* record) const;
    // Reads `count` records from record `first` in one go, zero bytes past the end.
    void readRecords(std::int64_t first, int count, std::string* records) const;
    // Writes record n whole; data is cut or padded with zero bytes to the record length.
    bool write(std::int64_t n, std::string_view data, std::string* error = nullptr);

  private:
    std::unique_ptr<FileHandle> file_;
    int recordLength_ = 0;
    std::string path_;
};

}  // namespace quillmar
