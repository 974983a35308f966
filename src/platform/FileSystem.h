#pragma once
// Files of the station named by their drive paths ("c:\satfile\SatList.dat"). The file system
// maps a drive path to a host path under the data root; each component matches what exists
// without regard to case, and a new file or folder takes the case given.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillmar {

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Host path of a drive path; empty when the path names no drive.
    virtual std::string hostPath(std::string_view drivePath) const = 0;
    virtual bool fileExists(std::string_view drivePath) const = 0;
    virtual bool folderExists(std::string_view drivePath) const = 0;
    // Creates one folder (its parent must exist). False with the reason on failure.
    virtual bool createFolder(std::string_view drivePath, std::string* error) = 0;
    // Appends bytes to a file, creating it. False with the reason on failure.
    virtual bool appendToFile(std::string_view drivePath, std::string_view bytes,
                              std::string* error) = 0;
    // Reads a whole file. False with the reason when it cannot be read.
    virtual bool readFile(std::string_view drivePath, std::string* bytes,
                          std::string* error) const = 0;
    // Replaces a file whole: written beside it, then renamed, so a failure leaves the old one.
    virtual bool writeFile(std::string_view drivePath, std::string_view bytes,
                           std::string* error) = 0;
    // As writeFile, but the new file is readable and writable by its owner only.
    virtual bool writePrivateFile(std::string_view drivePath, std::string_view bytes,
                                  std::string* error) = 0;
    // Length in bytes, or -1 when the file does not exist.
    virtual std::int64_t fileLength(std::string_view drivePath) const = 0;
    // Deletes the files of a folder whose names match a pattern with * and ?, without regard
    // to case ("c:\satfile\logs\AL*.log"). Returns how many were deleted.
    virtual int deleteMatching(std::string_view drivePattern) = 0;
    // Names of the files (or sub-folders) of a folder, sorted.
    virtual std::vector<std::string> list(std::string_view drivePath, bool folders) const = 0;
    // Drive letters present, lower case, sorted.
    virtual std::vector<char> drives() const = 0;
};

}  // namespace quillmar
