#include "platform/RecordFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace quillmar {

RecordFile::RecordFile(RecordFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      recordLength_(other.recordLength_),
      path_(std::move(other.path_)) {}

RecordFile& RecordFile::operator=(RecordFile&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        recordLength_ = other.recordLength_;
        path_ = std::move(other.path_);
    }
    return *this;
}

RecordFile::~RecordFile() { close(); }

bool RecordFile::open(const std::string& hostPath, int recordLength, std::string* error) {
    close();
    int fd = ::open(hostPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (error) *error = std::strerror(errno);
        return false;
    }
    fd_ = fd;
    recordLength_ = recordLength;
    path_ = hostPath;
    return true;
}

void RecordFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::int64_t RecordFile::recordCount() const {
    struct stat st {};
    if (fd_ < 0 || recordLength_ <= 0 || ::fstat(fd_, &st) != 0) return 0;
    return st.st_size / recordLength_;
}

bool RecordFile::read(std::int64_t n, std::string* record) const {
    record->assign(static_cast<std::size_t>(recordLength_ > 0 ? recordLength_ : 0), '\0');
    if (fd_ < 0 || n < 1 || recordLength_ <= 0) return false;
    const off_t offset = static_cast<off_t>((n - 1) * recordLength_);
    std::size_t got = 0;
    while (got < record->size()) {
        ssize_t r = ::pread(fd_, record->data() + got, record->size() - got,
                            offset + static_cast<off_t>(got));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        got += static_cast<std::size_t>(r);
    }
    return got == record->size();
}

bool RecordFile::write(std::int64_t n, std::string_view data, std::string* error) {
    if (fd_ < 0 || n < 1 || recordLength_ <= 0) {
        if (error) *error = "file is not open";
        return false;
    }
    std::string record(data.substr(0, static_cast<std::size_t>(recordLength_)));
    record.resize(static_cast<std::size_t>(recordLength_), '\0');
    const off_t offset = static_cast<off_t>((n - 1) * recordLength_);
    std::size_t done = 0;
    while (done < record.size()) {
        ssize_t w = ::pwrite(fd_, record.data() + done, record.size() - done,
                             offset + static_cast<off_t>(done));
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
            if (error) *error = w < 0 ? std::strerror(errno) : "nothing written";
            // Never leave half a record behind: cut back what this write added.
            struct stat st {};
            if (::fstat(fd_, &st) == 0 && st.st_size > offset &&
                st.st_size < offset + recordLength_) {
                int rc = ::ftruncate(fd_, offset);
                (void)rc;
            }
            return false;
        }
        done += static_cast<std::size_t>(w);
    }
    return true;
}

}  // namespace quillmar
