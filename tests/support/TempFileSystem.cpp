#include "support/TempFileSystem.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace quillmar {

namespace {
std::string MakeTempRoot() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillmar-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    return pattern + "/quillmar";
}
}  // namespace

TempFileSystem::TempFileSystem() : PosixFileSystem(MakeTempRoot()) {
    std::string error;
    if (!prepare(&error)) throw std::runtime_error(error);
}

TempFileSystem::~TempFileSystem() {
    std::error_code ec;
    std::filesystem::remove_all(std::filesystem::path(dataRoot()).parent_path(), ec);
}

}  // namespace quillmar
