#include "interp/model.h"

#include "textio/files.h"
#include "textio/textio.h"

namespace interp {

ModelFile::~ModelFile()
{
    close();
}

FileStamp stamp_of(const std::string& path)
{
    return textio::stamp_of(path);
}

bool ModelFile::open(const std::string& path, textio::OpenStatus* status)
{
    close();
    path_ = textio::trim_trailing(path);
    fd_ = textio::open_for_reading(path_, status);
    if (fd_ >= 0) stamp_ = textio::stamp_of(fd_);
    return fd_ >= 0;
}

void ModelFile::close()
{
    textio::close_file(fd_);
    fd_ = -1;
}

std::int64_t ModelFile::size_bytes() const
{
    return fd_ >= 0 ? textio::stamp_of(fd_).size : -1;
}

std::size_t ModelFile::read_at(std::int64_t offset, unsigned char* bytes, std::size_t count) const
{
    return textio::read_at(fd_, offset, bytes, count);
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
