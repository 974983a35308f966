#pragma once
// The station's drives kept in memory, with the drive-path rules of the host's file system
// (components matched without regard to case, new names keep their case, files replaced
// whole, a file's handles seeing its writes) and failures a test can order for a path.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace quillmar {

class MemoryFileSystem : public FileSystem {
  public:
    // Drive c (the station's own) exists from the start.
    MemoryFileSystem();

    bool fileExists(std::string_view drivePath) const override;
    bool folderExists(std::string_view drivePath) const override;
    bool createFolder(std::string_view drivePath, std::string* error) override;
    bool appendToFile(std::string_view drivePath, std::string_view bytes,
                      std::string* error) override;
    bool readFile(std::string_view drivePath, std::string* bytes,
                  std::string* error) const override;
    bool writeFile(std::string_view drivePath, std::string_view bytes, std::string* error) override;
    bool writePrivateFile(std::string_view drivePath, std::string_view bytes,
                          std::string* error) override;
    std::int64_t fileLength(std::string_view drivePath) const override;
    int deleteMatching(std::string_view drivePattern) override;
    std::vector<std::string> list(std::string_view drivePath, bool folders) const override;
    std::vector<char> drives() const override;
    std::unique_ptr<FileHandle> openFile(std::string_view drivePath, OpenMode mode,
                                         std::string* error) override;
    bool renameFile(std::string_view from, std::string_view to, std::string* error) override;
    bool removeFile(std::string_view drivePath) override;

    // From now on, writes and appends to the file at drivePath (through open handles too)
    // and opens of it for writing fail with strerror(code); EIO and EACCES fail its reads and
    // read opens as well. code 0 clears it.
    void fail(std::string_view drivePath, int code);
    void clearFailures() { failures_.clear(); }
    // Removes a folder and all it holds, as an operator deleting it would.
    void removeFolder(std::string_view drivePath);
    // True when the file was last written by writePrivateFile (owner only).
    bool isPrivate(std::string_view drivePath) const;
    // Heap held by all files, open ones included: what the station keeps on its drives.
    std::int64_t bytesHeld() const;

    // Writes every drive under hostFolder as drives/<letter>/..., names in the case they were
    // made with. False with the reason on failure.
    bool dumpTo(const std::string& hostFolder, std::string* error) const;

  private:
    struct Node {
        std::string name;  // the last component as it was made
        bool folder = false;
        bool isPrivate = false;
        std::shared_ptr<std::string> bytes;  // shared with the file's open handles
    };
    class Handle;

    const Node* find(const std::string& key) const;
    // The failure ordered for a key, 0 when none.
    int failure(const std::string& key) const;
    // Checks that the parent of key is a folder and no folder has key's name.
    bool canMakeFile(const std::string& key, std::string* error) const;
    bool replace(std::string_view drivePath, std::string_view bytes, bool isPrivate,
                 std::string* error);

    void remember(const std::shared_ptr<std::string>& bytes);

    std::map<std::string, Node> nodes_;  // by DrivePathKey
    std::map<std::string, int> failures_;
    mutable std::vector<std::weak_ptr<std::string>> opened_;  // contents handles were opened on
};

}  // namespace quillmar
