#pragma once

#include <string>

#include "platform/FileSystem.h"

namespace quillmar {

// Drive paths under a data root: "x:\a\b" is <root>/drives/x/a/b.
// It keeps nothing but its root between calls, so any thread may call it.
class PosixFileSystem : public FileSystem {
  public:
    explicit PosixFileSystem(std::string dataRoot);

    const std::string& dataRoot() const { return root_; }
    // Creates the data root and drives/c (the station's own drive) when missing.
    bool prepare(std::string* error);

    // Where a drive path lives under the data root; empty when the path names no drive.
    std::string hostPath(std::string_view drivePath) const;
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

  private:
    std::string root_;
};

// $XDG_DATA_HOME/quillmar, or ~/.local/share/quillmar when it is unset.
std::string DefaultDataRoot();

}  // namespace quillmar
