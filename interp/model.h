// A model file opened for reading by record number (the format: interp/format.h).
#pragma once

#include <cstdint>
#include <string>

#include "interp/format.h"
#include "textio/files.h"

namespace interp {

/// What tells whether a file is still the one that was opened: its identity (device and
/// inode), size and time of the last change.
/// Identity and state of the model file (device, number, size, last change).
using FileStamp = textio::FileStamp;

/// The stamp of the file at `path` now; a stamp that matches no file when it cannot be read.
FileStamp stamp_of(const std::string& path);

/// One model file, opened for reading by record number. Closes itself.
class ModelFile {
public:
    ModelFile() = default;
    ~ModelFile();
    ModelFile(const ModelFile&) = delete;
    ModelFile& operator=(const ModelFile&) = delete;

    /// Opens an existing file for reading; false when it is missing, unreadable or no regular
    /// file (a directory or a named pipe). Where a model's name enters the numeric core:
    /// trailing blanks are no part of it.
    bool open(const std::string& path, textio::OpenStatus* status = nullptr);
    /// The name it was opened by, without trailing blanks.
    const std::string& path() const { return path_; }
    void close();
    bool is_open() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    /// File size in bytes, -1 when it cannot be determined.
    std::int64_t size_bytes() const;
    /// The file as it was when it was opened.
    const FileStamp& stamp() const { return stamp_; }

    /// Reads up to `count` bytes from byte `offset` into `bytes`, as many as the file holds
    /// there; returns how many were read (fewer at the end of the file or on an error).
    std::size_t read_at(std::int64_t offset, unsigned char* bytes, std::size_t count) const;

    /// Reads the raw bytes of `count` consecutive records from record `first` in one read;
    /// decode them with record_at(). False when the file does not hold all of them.
    bool read_raw(std::int64_t first, std::size_t count, unsigned char* bytes) const;

    /// Reads `count` (1..64) consecutive records starting at record number `first` (from 1)
    /// in one read. False when the file does not hold all of them completely.
    bool read_records(std::int64_t first, int count, std::int32_t* out) const;

private:
    std::string path_;
    int fd_ = -1;
    FileStamp stamp_;
};

enum class HeaderStatus { Ok, ReadFailed, Invalid };

/// Reads records 1..18 in one read and decodes them.
HeaderStatus read_header(const ModelFile& file, GridHeader& header);

}  // namespace interp
