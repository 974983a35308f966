#include "platform/wave/SoundFile.h"

#include <string_view>

namespace quillmar {

namespace {

SoundFile& Of(void* user) {
    return *static_cast<SoundFile*>(user);
}

sf_count_t Length(void* user) {
    const std::int64_t size = Of(user).file->size();
    return size < 0 ? 0 : size;
}

sf_count_t Seek(sf_count_t offset, int whence, void* user) {
    SoundFile& f = Of(user);
    const sf_count_t base = whence == SEEK_CUR ? f.position : whence == SEEK_END ? Length(user) : 0;
    if (base + offset < 0) return -1;
    f.position = base + offset;
    return f.position;
}

sf_count_t Read(void* data, sf_count_t count, void* user) {
    SoundFile& f = Of(user);
    const std::int64_t got = f.file->readAt(f.position, static_cast<char*>(data), count);
    if (got < 0) {
        f.ioError = "the file cannot be read";
        return 0;
    }
    f.position += got;
    return got;
}

sf_count_t Write(const void* data, sf_count_t count, void* user) {
    SoundFile& f = Of(user);
    const std::string_view bytes(static_cast<const char*>(data), static_cast<std::size_t>(count));
    if (!f.file->writeAt(f.position, bytes, &f.ioError)) return 0;
    f.position += count;
    return count;
}

sf_count_t Tell(void* user) {
    return Of(user).position;
}

SF_VIRTUAL_IO kIo{&Length, &Seek, &Read, &Write, &Tell};

}  // namespace

std::unique_ptr<SoundFile> SoundFile::open(FileSystem& files, const std::string& drivePath,
                                           int mode, SF_INFO* info, std::string* error) {
    std::unique_ptr<SoundFile> f(new SoundFile);
    std::string reason;
    f->file =
        files.openFile(drivePath, mode == SFM_READ ? OpenMode::Read : OpenMode::Replace, &reason);
    if (f->file) f->sf_ = sf_open_virtual(&kIo, mode, info, f.get());
    if (f->sf_) return f;
    if (error) *error = drivePath + ": " + (f->file ? f->lastError() : reason);
    return nullptr;
}

SoundFile::~SoundFile() {
    if (sf_) sf_close(sf_);
}

std::string SoundFile::lastError() const {
    return ioError.empty() ? sf_strerror(sf_) : ioError;
}

}  // namespace quillmar
