#pragma once
// Files of the station named by their drive paths ("c:\satfile\SatList.dat"). Each component
// matches what exists without regard to case, and a new file or folder takes the case given.
// Where the bytes live (a data root on the host, memory in a simulation) is the
// implementation's business: nothing above the platform sees a host path.
// Threads: the host implementation may be called from a BackgroundWork task as well as from
// the loop (platform/BackgroundWork.h says which files a task may touch); the simulation runs
// its tasks on the loop thread.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillmar {

class RecordFile;

// An open file, read and written at byte offsets.
class FileHandle {
  public:
    virtual ~FileHandle() = default;
    // Length in bytes, -1 when it cannot be told.
    virtual std::int64_t size() const = 0;
    // Up to `count` bytes from `offset`: how many were read (0 at the end), -1 on failure.
    virtual std::int64_t readAt(std::int64_t offset, char* data, std::int64_t count) const = 0;
    // Writes all of bytes at offset, growing the file. False with the reason on failure.
    virtual bool writeAt(std::int64_t offset, std::string_view bytes, std::string* error) = 0;
    virtual bool truncate(std::int64_t length, std::string* error) = 0;
};

enum class OpenMode {
    Read,       // an existing file, read only
    ReadWrite,  // created when missing, kept otherwise
    Replace,    // created when missing, emptied otherwise
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;
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

    // Opens a file for reading and writing at offsets; null with the reason on failure.
    virtual std::unique_ptr<FileHandle> openFile(std::string_view drivePath, OpenMode mode,
                                                 std::string* error) = 0;
    // Renames a file, replacing the target. False with the reason on failure.
    virtual bool renameFile(std::string_view from, std::string_view to, std::string* error) = 0;
    // Removes one file; false when there was none to remove.
    virtual bool removeFile(std::string_view drivePath) = 0;

    // A file of fixed-length records, created when missing; closed with the reason on failure.
    RecordFile openRecords(std::string_view drivePath, int recordLength, std::string* error);
};

// The drive path written the one way ("c:\satfile\satlist.dat": lower case, "\" between
// components, "." and ".." resolved without leaving the drive); empty when it names no drive.
// Two drive paths name the same file exactly when their keys are equal.
std::string DrivePathKey(std::string_view drivePath);

// The components of a drive path after its drive, "." and ".." resolved; the drive letter
// (lower case) in *drive, 0 when the path names no drive.
std::vector<std::string> DrivePathParts(std::string_view drivePath, char* drive);

// True when name matches a pattern of * and ?, ignoring ASCII case.
bool WildcardMatch(std::string_view pattern, std::string_view name);

}  // namespace quillmar
