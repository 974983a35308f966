#include "platform/host/PosixFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace quillmar {

namespace {

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

std::vector<std::string> Split(std::string_view path) {
    std::vector<std::string> parts;
    std::string cur;
    for (char c : path) {
        if (c == '\\' || c == '/') {
            if (!cur.empty()) parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) parts.push_back(cur);
    return parts;
}

// The entry of dir that matches name without regard to case; name itself when none does.
std::string MatchEntry(const std::string& dir, const std::string& name) {
    struct stat st {};
    if (::lstat((dir + "/" + name).c_str(), &st) == 0) return name;
    std::string found = name;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (dirent* e = ::readdir(d)) {
            if (EqualNoCase(e->d_name, name)) {
                found = e->d_name;
                break;
            }
        }
        ::closedir(d);
    }
    return found;
}

}  // namespace

std::string DefaultDataRoot() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg) return std::string(xdg) + "/quillmar";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.local/share/quillmar";
}

PosixFileSystem::PosixFileSystem(std::string dataRoot) : root_(std::move(dataRoot)) {}

bool PosixFileSystem::prepare(std::string* error) {
    std::string path;
    for (auto& part : Split(root_ + "/drives/c")) {
        path += "/" + part;
        if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) {
            if (error) *error = path + ": " + std::strerror(errno);
            return false;
        }
    }
    return true;
}

std::string PosixFileSystem::hostPath(std::string_view drivePath) const {
    char drive = 0;
    const auto parts = DrivePathParts(drivePath, &drive);
    if (!drive) return {};
    std::string path = root_ + "/drives/" + drive;
    for (auto& part : parts) path += "/" + MatchEntry(path, part);
    return path;
}

bool PosixFileSystem::fileExists(std::string_view drivePath) const {
    struct stat st {};
    const std::string p = hostPath(drivePath);
    return !p.empty() && ::stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool PosixFileSystem::folderExists(std::string_view drivePath) const {
    struct stat st {};
    const std::string p = hostPath(drivePath);
    return !p.empty() && ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PosixFileSystem::createFolder(std::string_view drivePath, std::string* error) {
    const std::string p = hostPath(drivePath);
    if (p.empty()) {
        if (error) *error = "not a drive path";
        return false;
    }
    if (::mkdir(p.c_str(), 0755) != 0 && errno != EEXIST) {
        if (error) *error = std::strerror(errno);
        return false;
    }
    return true;
}

namespace {

bool WriteAll(const std::string& p, int flags, std::string_view bytes, std::string* error,
              mode_t mode = 0644) {
    int fd = p.empty() ? -1 : ::open(p.c_str(), flags | O_CLOEXEC, mode);
    if (fd < 0) {
        if (error) *error = p.empty() ? "not a drive path" : std::strerror(errno);
        return false;
    }
    std::size_t done = 0;
    bool ok = true;
    while (done < bytes.size()) {
        ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
            if (error) *error = w < 0 ? std::strerror(errno) : "nothing written";
            ok = false;
            break;
        }
        done += static_cast<std::size_t>(w);
    }
    if (::close(fd) != 0 && ok) {
        if (error) *error = std::strerror(errno);
        ok = false;
    }
    return ok;
}

}  // namespace

bool PosixFileSystem::appendToFile(std::string_view drivePath, std::string_view bytes,
                                   std::string* error) {
    return WriteAll(hostPath(drivePath), O_WRONLY | O_CREAT | O_APPEND, bytes, error);
}

bool PosixFileSystem::readFile(std::string_view drivePath, std::string* bytes,
                               std::string* error) const {
    bytes->clear();
    const std::string p = hostPath(drivePath);
    int fd = p.empty() ? -1 : ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (error) *error = p.empty() ? "not a drive path" : std::strerror(errno);
        return false;
    }
    char buf[65536];
    for (;;) {
        ssize_t r = ::read(fd, buf, sizeof buf);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {
            if (error) *error = std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (r == 0) break;
        bytes->append(buf, static_cast<std::size_t>(r));
    }
    ::close(fd);
    return true;
}

bool PosixFileSystem::writeFile(std::string_view drivePath, std::string_view bytes,
                                std::string* error) {
    const std::string p = hostPath(drivePath);
    if (p.empty()) {
        if (error) *error = "not a drive path";
        return false;
    }
    const std::string temp = p + ".new";
    if (!WriteAll(temp, O_WRONLY | O_CREAT | O_TRUNC, bytes, error)) {
        ::unlink(temp.c_str());
        return false;
    }
    if (::rename(temp.c_str(), p.c_str()) != 0) {
        if (error) *error = std::strerror(errno);
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

bool PosixFileSystem::writePrivateFile(std::string_view drivePath, std::string_view bytes,
                                       std::string* error) {
    const std::string p = hostPath(drivePath);
    if (p.empty()) {
        if (error) *error = "not a drive path";
        return false;
    }
    // A fresh temporary file, so a left-over one with wider permissions is not reused.
    const std::string temp = p + ".new";
    ::unlink(temp.c_str());
    if (!WriteAll(temp, O_WRONLY | O_CREAT | O_EXCL, bytes, error, 0600)) {
        ::unlink(temp.c_str());
        return false;
    }
    if (::rename(temp.c_str(), p.c_str()) != 0) {
        if (error) *error = std::strerror(errno);
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

std::int64_t PosixFileSystem::fileLength(std::string_view drivePath) const {
    struct stat st {};
    const std::string p = hostPath(drivePath);
    if (p.empty() || ::stat(p.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return st.st_size;
}

int PosixFileSystem::deleteMatching(std::string_view drivePattern) {
    const auto cut = drivePattern.find_last_of("\\/");
    if (cut == std::string_view::npos) return 0;
    const std::string folder = hostPath(drivePattern.substr(0, cut + 1));
    const std::string_view pattern = drivePattern.substr(cut + 1);
    int deleted = 0;
    if (DIR* d = folder.empty() ? nullptr : ::opendir(folder.c_str())) {
        std::vector<std::string> doomed;
        while (dirent* e = ::readdir(d)) {
            const std::string full = folder + "/" + e->d_name;
            struct stat st {};
            if (WildcardMatch(pattern, e->d_name) && ::stat(full.c_str(), &st) == 0 &&
                S_ISREG(st.st_mode))
                doomed.push_back(full);
        }
        ::closedir(d);
        for (auto& f : doomed)
            if (::unlink(f.c_str()) == 0) ++deleted;
    }
    return deleted;
}

std::vector<std::string> PosixFileSystem::list(std::string_view drivePath, bool folders) const {
    std::vector<std::string> names;
    const std::string dir = hostPath(drivePath);
    if (DIR* d = dir.empty() ? nullptr : ::opendir(dir.c_str())) {
        while (dirent* e = ::readdir(d)) {
            std::string name = e->d_name;
            if (name == "." || name == "..") continue;
            struct stat st {};
            if (::stat((dir + "/" + name).c_str(), &st) != 0) continue;
            if (folders ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode)) names.push_back(name);
        }
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

namespace {

// A descriptor read and written at offsets; closed with the handle.
class PosixFileHandle : public FileHandle {
  public:
    explicit PosixFileHandle(int fd) : fd_(fd) {}
    ~PosixFileHandle() override { ::close(fd_); }
    PosixFileHandle(const PosixFileHandle&) = delete;
    PosixFileHandle& operator=(const PosixFileHandle&) = delete;

    std::int64_t size() const override {
        struct stat st {};
        return ::fstat(fd_, &st) == 0 ? st.st_size : -1;
    }
    std::int64_t readAt(std::int64_t offset, char* data, std::int64_t count) const override {
        std::int64_t got = 0;
        while (got < count) {
            const ssize_t r = ::pread(fd_, data + got, static_cast<std::size_t>(count - got),
                                      static_cast<off_t>(offset + got));
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) return got > 0 ? got : -1;
            if (r == 0) break;
            got += r;
        }
        return got;
    }
    bool writeAt(std::int64_t offset, std::string_view bytes, std::string* error) override {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t w = ::pwrite(fd_, bytes.data() + done, bytes.size() - done,
                                       static_cast<off_t>(offset) + static_cast<off_t>(done));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) {
                if (error) *error = w < 0 ? std::strerror(errno) : "nothing written";
                return false;
            }
            done += static_cast<std::size_t>(w);
        }
        return true;
    }
    bool truncate(std::int64_t length, std::string* error) override {
        if (::ftruncate(fd_, static_cast<off_t>(length)) == 0) return true;
        if (error) *error = std::strerror(errno);
        return false;
    }

  private:
    int fd_;
};

}  // namespace

std::unique_ptr<FileHandle> PosixFileSystem::openFile(std::string_view drivePath, OpenMode mode,
                                                      std::string* error) {
    const std::string p = hostPath(drivePath);
    const int flags = mode == OpenMode::Read        ? O_RDONLY
                      : mode == OpenMode::ReadWrite ? O_RDWR | O_CREAT
                                                    : O_RDWR | O_CREAT | O_TRUNC;
    const int fd = p.empty() ? -1 : ::open(p.c_str(), flags | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (error) *error = p.empty() ? "not a drive path" : std::strerror(errno);
        return nullptr;
    }
    return std::make_unique<PosixFileHandle>(fd);
}

bool PosixFileSystem::renameFile(std::string_view from, std::string_view to, std::string* error) {
    const std::string a = hostPath(from), b = hostPath(to);
    if (a.empty() || b.empty()) {
        if (error) *error = "not a drive path";
        return false;
    }
    if (::rename(a.c_str(), b.c_str()) == 0) return true;
    if (error) *error = std::strerror(errno);
    return false;
}

bool PosixFileSystem::removeFile(std::string_view drivePath) {
    const std::string p = hostPath(drivePath);
    return !p.empty() && ::unlink(p.c_str()) == 0;
}

std::vector<char> PosixFileSystem::drives() const {
    std::vector<char> letters;
    if (DIR* d = ::opendir((root_ + "/drives").c_str())) {
        while (dirent* e = ::readdir(d)) {
            if (std::strlen(e->d_name) == 1) {
                char c = Lower(e->d_name[0]);
                if (c >= 'a' && c <= 'z') letters.push_back(c);
            }
        }
        ::closedir(d);
    }
    std::sort(letters.begin(), letters.end());
    letters.erase(std::unique(letters.begin(), letters.end()), letters.end());
    return letters;
}

}  // namespace quillmar
