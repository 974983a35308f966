#pragma once
// A sound file of the station's file system opened by libsndfile through its virtual I/O, so
// the same code reads and writes wave files on the host's disk and in a simulated memory.

#include <sndfile.h>

#include <memory>
#include <string>

#include "platform/FileSystem.h"

namespace quillmar {

class SoundFile {
  public:
    // mode is SFM_READ (an existing file) or SFM_WRITE (created or emptied). Null with the
    // reason ("<drive path>: <why>") on failure.
    static std::unique_ptr<SoundFile> open(FileSystem& files, const std::string& drivePath,
                                           int mode, SF_INFO* info, std::string* error);
    ~SoundFile();
    SoundFile(const SoundFile&) = delete;
    SoundFile& operator=(const SoundFile&) = delete;

    SNDFILE* get() const { return sf_; }
    // Why the last read or write failed: the file system's reason when it gave one.
    std::string lastError() const;

    // The virtual I/O's view of the file; public for the callbacks only.
    std::unique_ptr<FileHandle> file;
    sf_count_t position = 0;
    std::string ioError;

  private:
    SoundFile() = default;
    SNDFILE* sf_ = nullptr;
};

}  // namespace quillmar
