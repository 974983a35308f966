#include "platform/sim/MemoryFileSystem.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

namespace quillmar {

namespace {

bool Fail(std::string* error, int code) {
    if (error) *error = std::strerror(code);
    return false;
}

bool NotDrivePath(std::string* error) {
    if (error) *error = "not a drive path";
    return false;
}

std::string ParentKey(const std::string& key) {
    const auto cut = key.rfind('\\');
    return cut == std::string::npos ? std::string() : key.substr(0, cut);
}

// The last component of a drive path as written; the drive letter for a drive itself.
std::string LastName(std::string_view drivePath) {
    char drive = 0;
    const auto parts = DrivePathParts(drivePath, &drive);
    return parts.empty() ? std::string(1, drive) : parts.back();
}

}  // namespace

class MemoryFileSystem::Handle : public FileHandle {
  public:
    Handle(const MemoryFileSystem& fs, std::string key, std::shared_ptr<std::string> bytes,
           bool writable)
        : fs_(fs), key_(std::move(key)), bytes_(std::move(bytes)), writable_(writable) {}

    std::int64_t size() const override { return static_cast<std::int64_t>(bytes_->size()); }
    std::int64_t readAt(std::int64_t offset, char* data, std::int64_t count) const override {
        if (fs_.failure(key_) == EIO || offset < 0) return -1;
        const auto size = static_cast<std::int64_t>(bytes_->size());
        const std::int64_t got = std::clamp<std::int64_t>(size - offset, 0, count);
        if (got > 0) std::memcpy(data, bytes_->data() + offset, static_cast<std::size_t>(got));
        return got;
    }
    bool writeAt(std::int64_t offset, std::string_view bytes, std::string* error) override {
        if (!writable_) return Fail(error, EBADF);
        if (const int code = fs_.failure(key_)) return Fail(error, code);
        const auto end = static_cast<std::size_t>(offset) + bytes.size();
        if (bytes_->size() < end) bytes_->resize(end, '\0');
        std::copy(bytes.begin(), bytes.end(), bytes_->begin() + offset);
        return true;
    }
    bool truncate(std::int64_t length, std::string* error) override {
        if (!writable_) return Fail(error, EBADF);
        bytes_->resize(static_cast<std::size_t>(length), '\0');
        return true;
    }

  private:
    const MemoryFileSystem& fs_;
    std::string key_;
    std::shared_ptr<std::string> bytes_;
    bool writable_;
};

MemoryFileSystem::MemoryFileSystem() {
    nodes_["c:"] = Node{"c", true, false, nullptr};
}

const MemoryFileSystem::Node* MemoryFileSystem::find(const std::string& key) const {
    auto it = nodes_.find(key);
    return it == nodes_.end() ? nullptr : &it->second;
}

int MemoryFileSystem::failure(const std::string& key) const {
    auto it = failures_.find(key);
    return it == failures_.end() ? 0 : it->second;
}

void MemoryFileSystem::fail(std::string_view drivePath, int code) {
    const std::string key = DrivePathKey(drivePath);
    if (code == 0)
        failures_.erase(key);
    else
        failures_[key] = code;
}

void MemoryFileSystem::removeFolder(std::string_view drivePath) {
    const std::string key = DrivePathKey(drivePath);
    for (auto it = nodes_.begin(); it != nodes_.end();) {
        const bool inside = it->first == key || it->first.rfind(key + '\\', 0) == 0;
        it = inside ? nodes_.erase(it) : std::next(it);
    }
}

bool MemoryFileSystem::isPrivate(std::string_view drivePath) const {
    const Node* node = find(DrivePathKey(drivePath));
    return node && !node->folder && node->isPrivate;
}

bool MemoryFileSystem::canMakeFile(const std::string& key, std::string* error) const {
    const Node* parent = find(ParentKey(key));
    if (!parent) return Fail(error, ENOENT);
    if (!parent->folder) return Fail(error, ENOTDIR);
    const Node* node = find(key);
    if (node && node->folder) return Fail(error, EISDIR);
    return true;
}

bool MemoryFileSystem::fileExists(std::string_view drivePath) const {
    const Node* node = find(DrivePathKey(drivePath));
    return node && !node->folder;
}

bool MemoryFileSystem::folderExists(std::string_view drivePath) const {
    const Node* node = find(DrivePathKey(drivePath));
    return node && node->folder;
}

bool MemoryFileSystem::createFolder(std::string_view drivePath, std::string* error) {
    const std::string key = DrivePathKey(drivePath);
    if (key.empty()) return NotDrivePath(error);
    if (find(key)) return true;  // as mkdir's EEXIST, which is not a failure here
    const std::string parent = ParentKey(key);
    if (!parent.empty()) {
        const Node* p = find(parent);
        if (!p) return Fail(error, ENOENT);
        if (!p->folder) return Fail(error, ENOTDIR);
    }
    nodes_[key] = Node{LastName(drivePath), true, false, nullptr};
    return true;
}

bool MemoryFileSystem::appendToFile(std::string_view drivePath, std::string_view bytes,
                                    std::string* error) {
    const std::string key = DrivePathKey(drivePath);
    if (key.empty()) return NotDrivePath(error);
    if (const int code = failure(key)) return Fail(error, code);
    if (!canMakeFile(key, error)) return false;
    Node& node = nodes_[key];
    if (!node.bytes)
        node = Node{LastName(drivePath), false, false, std::make_shared<std::string>()};
    node.bytes->append(bytes);
    return true;
}

bool MemoryFileSystem::readFile(std::string_view drivePath, std::string* bytes,
                                std::string* error) const {
    bytes->clear();
    const std::string key = DrivePathKey(drivePath);
    if (key.empty()) return NotDrivePath(error);
    if (const int code = failure(key); code == EIO || code == EACCES) return Fail(error, code);
    const Node* node = find(key);
    if (!node) return Fail(error, ENOENT);
    if (node->folder) return Fail(error, EISDIR);
    *bytes = *node->bytes;
    return true;
}

bool MemoryFileSystem::replace(std::string_view drivePath, std::string_view bytes, bool isPrivate,
                               std::string* error) {
    const std::string key = DrivePathKey(drivePath);
    if (key.empty()) return NotDrivePath(error);
    if (const int code = failure(key)) return Fail(error, code);
    if (!canMakeFile(key, error)) return false;
    const Node* old = find(key);
    // A new file under the old name: handles open on the old one keep what they had.
    nodes_[key] = Node{old ? old->name : LastName(drivePath), false, isPrivate,
                       std::make_shared<std::string>(bytes)};
    return true;
}

bool MemoryFileSystem::writeFile(std::string_view drivePath, std::string_view bytes,
                                 std::string* error) {
    return replace(drivePath, bytes, false, error);
}

bool MemoryFileSystem::writePrivateFile(std::string_view drivePath, std::string_view bytes,
                                        std::string* error) {
    return replace(drivePath, bytes, true, error);
}

std::int64_t MemoryFileSystem::fileLength(std::string_view drivePath) const {
    const Node* node = find(DrivePathKey(drivePath));
    return node && !node->folder ? static_cast<std::int64_t>(node->bytes->size()) : -1;
}

int MemoryFileSystem::deleteMatching(std::string_view drivePattern) {
    const auto cut = drivePattern.find_last_of("\\/");
    if (cut == std::string_view::npos) return 0;
    const std::string folder = DrivePathKey(drivePattern.substr(0, cut + 1));
    const std::string_view pattern = drivePattern.substr(cut + 1);
    int deleted = 0;
    for (auto it = nodes_.begin(); it != nodes_.end();) {
        if (!it->second.folder && ParentKey(it->first) == folder &&
            WildcardMatch(pattern, it->second.name)) {
            it = nodes_.erase(it);
            ++deleted;
        } else {
            ++it;
        }
    }
    return deleted;
}

std::vector<std::string> MemoryFileSystem::list(std::string_view drivePath, bool folders) const {
    std::vector<std::string> names;
    const std::string folder = DrivePathKey(drivePath);
    if (folder.empty()) return names;
    for (auto it = nodes_.lower_bound(folder + '\\'); it != nodes_.end(); ++it) {
        if (it->first.compare(0, folder.size() + 1, folder + '\\') != 0) break;
        if (ParentKey(it->first) == folder && it->second.folder == folders)
            names.push_back(it->second.name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<char> MemoryFileSystem::drives() const {
    std::vector<char> letters;
    for (const auto& [key, node] : nodes_)
        if (key.size() == 2) letters.push_back(key[0]);
    return letters;
}

std::unique_ptr<FileHandle> MemoryFileSystem::openFile(std::string_view drivePath, OpenMode mode,
                                                       std::string* error) {
    const std::string key = DrivePathKey(drivePath);
    const Node* node = find(key);
    const int code = failure(key);
    // A full disk still lets a file be read; an I/O error or a refusal does not.
    const bool refused = code != 0 && (mode != OpenMode::Read || code != ENOSPC);
    const bool ok = key.empty()              ? NotDrivePath(error)
                    : refused                ? Fail(error, code)
                    : mode != OpenMode::Read ? canMakeFile(key, error)
                    : !node                  ? Fail(error, ENOENT)
                    : node->folder           ? Fail(error, EISDIR)
                                             : true;
    if (!ok) return nullptr;
    if (mode == OpenMode::Read) {
        remember(node->bytes);
        return std::make_unique<Handle>(*this, key, node->bytes, false);
    }
    Node& made = nodes_[key];
    if (!made.bytes)
        made = Node{LastName(drivePath), false, false, std::make_shared<std::string>()};
    if (mode == OpenMode::Replace) made.bytes->clear();
    remember(made.bytes);
    return std::make_unique<Handle>(*this, key, made.bytes, true);
}

bool MemoryFileSystem::renameFile(std::string_view from, std::string_view to, std::string* error) {
    const std::string a = DrivePathKey(from), b = DrivePathKey(to);
    if (a.empty() || b.empty()) return NotDrivePath(error);
    const Node* source = find(a);
    if (!source || source->folder) return Fail(error, ENOENT);
    if (const int code = failure(b)) return Fail(error, code);
    if (!canMakeFile(b, error)) return false;
    if (a == b) return true;
    const Node* old = find(b);
    Node moved = *source;
    moved.name = old ? old->name : LastName(to);
    nodes_.erase(a);
    nodes_[b] = std::move(moved);
    return true;
}

bool MemoryFileSystem::removeFile(std::string_view drivePath) {
    auto it = nodes_.find(DrivePathKey(drivePath));
    if (it == nodes_.end() || it->second.folder) return false;
    nodes_.erase(it);
    return true;
}

bool MemoryFileSystem::dumpTo(const std::string& hostFolder, std::string* error) const {
    // Keys sort a folder before what it holds, so each parent's host path is known first.
    std::map<std::string, std::filesystem::path> hostPaths;
    for (const auto& [key, node] : nodes_) {
        const std::string parent = ParentKey(key);
        const std::filesystem::path path =
            parent.empty() ? std::filesystem::path(hostFolder) / "drives" / node.name
                           : hostPaths[parent] / node.name;
        hostPaths[key] = path;
        std::error_code ec;
        if (node.folder) {
            std::filesystem::create_directories(path, ec);
        } else {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out.write(node.bytes->data(), static_cast<std::streamsize>(node.bytes->size()));
            if (!out) ec = std::make_error_code(std::errc::io_error);
        }
        if (ec) {
            if (error) *error = path.string() + ": " + ec.message();
            return false;
        }
    }
    return true;
}

void MemoryFileSystem::remember(const std::shared_ptr<std::string>& bytes) {
    if (opened_.size() >= 64)
        std::erase_if(opened_, [](const auto& weak) { return weak.expired(); });
    opened_.push_back(bytes);
}

std::int64_t MemoryFileSystem::bytesHeld() const {
    // A file replaced while a handle is open lives on until the handle closes, as on disk.
    std::set<const std::string*> held;
    for (const auto& [key, node] : nodes_)
        if (node.bytes) held.insert(node.bytes.get());
    std::erase_if(opened_, [](const auto& weak) { return weak.expired(); });
    std::vector<std::shared_ptr<std::string>> open;
    for (const auto& weak : opened_)
        if (auto bytes = weak.lock()) held.insert(bytes.get()), open.push_back(std::move(bytes));
    std::int64_t total = 0;
    for (const std::string* bytes : held) total += static_cast<std::int64_t>(bytes->capacity());
    return total;
}

}  // namespace quillmar
