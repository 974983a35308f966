#pragma once
// A file of fixed-length records numbered from 1. A read beyond the end gives zero bytes, a
// write one past the end grows the file, and each record is written whole.

#include <cstdint>
#include <string>

namespace quillmar {

class RecordFile {
public:
    RecordFile() = default;
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;
    RecordFile(RecordFile&& other) noexcept;
    RecordFile& operator=(RecordFile&& other) noexcept;
    ~RecordFile();

    // Opens (creating when missing) a host file for reading and writing.
    bool open(const std::string& hostPath, int recordLength, std::string* error);
    void close();
    bool isOpen() const { return fd_ >= 0; }
    int recordLength() const { return recordLength_; }
    const std::string& path() const { return path_; }

    // Whole records in the file; a partial last record does not count.
    std::int64_t recordCount() const;
    // Reads record n (from 1). Bytes beyond the end read as zero. Returns false when the
    // record is not wholly in the file (the end-of-file condition).
    bool read(std::int64_t n, std::string* record) const;
    // Writes record n whole; data is cut or padded with zero bytes to the record length.
    bool write(std::int64_t n, std::string_view data, std::string* error = nullptr);

private:
    int fd_ = -1;
    int recordLength_ = 0;
    std::string path_;
};

}  // namespace quillmar
