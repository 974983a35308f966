#pragma once

#include "platform/host/PosixFileSystem.h"

namespace quillmar {

// A data root of its own in a fresh temporary folder, removed with the object.
class TempFileSystem : public PosixFileSystem {
  public:
    TempFileSystem();
    ~TempFileSystem() override;
    TempFileSystem(const TempFileSystem&) = delete;
    TempFileSystem& operator=(const TempFileSystem&) = delete;
};

}  // namespace quillmar
