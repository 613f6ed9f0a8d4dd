// Small model files and scratch directories for the tests.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "textio/textio.h"

namespace testing_support {

/// A value as a fixed-point field writes it (width, decimals).
inline std::string fixed(double v, int width, int decimals)
{
    std::string s;
    textio::put_fixed(s, v, width, decimals);
    return s;
}

/// One header angle as the file stores it: degrees (signed), minutes, micro-arc-seconds.
struct Angle {
    std::int32_t d, m, s;
};

/// The 18 header records of a grid with the given angles.
std::array<std::int32_t, 18> header_records(Angle bmin, Angle bmax, Angle lmin, Angle lmax, Angle db,
                                            Angle dl);

/// Writes records (header then nodes) as 4-byte little-endian integers.
void write_records(const std::string& path, const std::vector<std::int32_t>& records);
std::vector<std::int32_t> with_nodes(const std::array<std::int32_t, 18>& header,
                                     const std::vector<std::int32_t>& nodes);

/// Nodes of an nb x nl grid, north to south and west to east; value(row, col) from 1.
std::vector<std::int32_t> make_nodes(int nb, int nl, const std::function<std::int32_t(int, int)>& value);

/// A model of 1001 x 1001 nodes (4 MB), 3.6" apart over B 50..51, L 8..9, every node its own
/// value; and 5000 points scattered over it, each line ending in `tail`.
void write_dense_model(const std::string& path);
std::string dense_points(const std::string& tail);

/// AddressSanitizer reserves more address space than any limit of it allows.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kAddressSanitizer = true;
#else
inline constexpr bool kAddressSanitizer = false;
#endif
#else
inline constexpr bool kAddressSanitizer = false;
#endif

/// Runs `body` in a child process: its exit status, or -1 if it did not exit (an abort).
int in_child(const std::function<int()>& body);
/// Lets this process's address space grow by `extra` bytes at most beyond what it holds now.
bool limit_address_space(std::size_t extra);

std::vector<unsigned char> read_bytes(const std::string& path);
void write_bytes(const std::string& path, const std::vector<unsigned char>& bytes);
std::string read_text(const std::string& path);
void write_text(const std::string& path, const std::string& text);
bool file_exists(const std::string& path);

/// A fresh directory below the system's temporary directory, removed with its files.
/// What only Linux offers the tests: named pipes, fork, resource limits, /dev/full and
/// /dev/zero, a POSIX shell. Tests that need them are skipped on Windows and say why.
#ifdef _WIN32
inline constexpr bool kPosix = false;
inline constexpr const char* kNullDevice = "NUL";
#else
inline constexpr bool kPosix = true;
inline constexpr const char* kNullDevice = "/dev/null";
#endif

/// What a program wrote on its terminal, saved in a file: on Windows the console's CR LF line
/// ends read as LF, so that one expectation serves both systems.
std::string terminal_text(const std::string& path);

/// Starts `program` in `dir` with `args` (plain words), its standard input from the file
/// `input` (empty: nothing), standard output and error into the file `output`; returns its exit
/// status (124 when it did not end within a minute, on Linux).
int run_program(const std::string& dir, const std::string& program, const std::string& args, const std::string& input,
                const std::string& output);

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

}  // namespace testing_support
