#include "interp/model.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "textio/files.h"
#include "textio/textio.h"

namespace interp {

ModelFile::~ModelFile()
{
    close();
}

namespace {

FileStamp stamp_from(const struct stat& st)
{
    FileStamp s;
    s.device = static_cast<std::uint64_t>(st.st_dev);
    s.inode = static_cast<std::uint64_t>(st.st_ino);
    s.size = static_cast<std::int64_t>(st.st_size);
    s.modified_ns = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return s;
}

}  // namespace

FileStamp stamp_of(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? stamp_from(st) : FileStamp{};
}

bool ModelFile::open(const std::string& path, textio::OpenStatus* status)
{
    close();
    path_ = textio::trim_trailing(path);
    fd_ = textio::open_for_reading(path_, status);
    struct stat st {};
    if (fd_ >= 0 && fstat(fd_, &st) == 0) stamp_ = stamp_from(st);
    return fd_ >= 0;
}

void ModelFile::close()
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::int64_t ModelFile::size_bytes() const
{
    struct stat st {};
    if (fd_ < 0 || fstat(fd_, &st) != 0) return -1;
    return static_cast<std::int64_t>(st.st_size);
}

std::size_t ModelFile::read_at(std::int64_t offset, unsigned char* bytes, std::size_t count) const
{
    std::size_t got = 0;
    if (fd_ < 0 || offset < 0) return 0;
    while (got < count) {
        const ssize_t n = pread(fd_, bytes + got, count - got, static_cast<off_t>(offset) + static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    return got;
}

bool ModelFile::read_raw(std::int64_t first, std::size_t count, unsigned char* bytes) const
{
    if (first < 1 || count < 1) return false;
    const std::size_t want = count * kRecordBytes;
    return read_at((first - 1) * kRecordBytes, bytes, want) == want;
}

bool ModelFile::read_records(std::int64_t first, int count, std::int32_t* out) const
{
    unsigned char raw[64 * kRecordBytes];
    if (count < 1 || count > 64 || !read_raw(first, static_cast<std::size_t>(count), raw)) return false;
    for (int k = 0; k < count; ++k) out[k] = record_at(raw + k * kRecordBytes);
    return true;
}

HeaderStatus read_header(const ModelFile& file, GridHeader& header)
{
    std::int32_t records[kHeaderRecords];
    if (!file.read_records(1, kHeaderRecords, records)) return HeaderStatus::ReadFailed;
    return decode_header(records, header) ? HeaderStatus::Ok : HeaderStatus::Invalid;
}

}  // namespace interp
