#include "tests/model_builder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace testing_support {

std::array<std::int32_t, 18> header_records(Angle bmin, Angle bmax, Angle lmin, Angle lmax, Angle db, Angle dl)
{
    std::array<std::int32_t, 18> r{};
    const Angle all[6] = {bmin, bmax, lmin, lmax, db, dl};
    for (int k = 0; k < 6; ++k) {
        r[3 * k] = all[k].d;
        r[3 * k + 1] = all[k].m;
        r[3 * k + 2] = all[k].s;
    }
    return r;
}

void write_records(const std::string& path, const std::vector<std::int32_t>& records)
{
    std::vector<unsigned char> bytes;
    bytes.reserve(records.size() * 4);
    for (const std::int32_t v : records) {
        const auto u = static_cast<std::uint32_t>(v);
        for (int k = 0; k < 4; ++k) bytes.push_back(static_cast<unsigned char>(u >> (8 * k)));
    }
    write_bytes(path, bytes);
}

std::vector<std::int32_t> with_nodes(const std::array<std::int32_t, 18>& header, const std::vector<std::int32_t>& nodes)
{
    std::vector<std::int32_t> r(header.begin(), header.end());
    r.insert(r.end(), nodes.begin(), nodes.end());
    return r;
}

std::vector<std::int32_t> make_nodes(int nb, int nl, const std::function<std::int32_t(int, int)>& value)
{
    std::vector<std::int32_t> v;
    for (int row = 1; row <= nb; ++row)
        for (int col = 1; col <= nl; ++col) v.push_back(value(row, col));
    return v;
}

std::vector<unsigned char> read_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_bytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string read_text(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_text(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + path);
}

bool file_exists(const std::string& path)
{
    return std::filesystem::exists(path);
}

TempDir::TempDir()
{
#ifdef _WIN32
    std::random_device random;
    for (int k = 0; k < 100 && path_.empty(); ++k) {
        const auto p = std::filesystem::temp_directory_path() / ("geoidtest-" + std::to_string(random()));
        if (std::filesystem::create_directory(p)) path_ = p.string();
    }
    if (path_.empty()) throw std::runtime_error("no temporary directory");
#else
    std::string tmpl = (std::filesystem::temp_directory_path() / "geoidtest-XXXXXX").string();
    if (mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
#endif
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void write_dense_model(const std::string& path)
{
    const auto header = header_records({50, 0, 0}, {51, 0, 0}, {8, 0, 0}, {9, 0, 0}, {0, 0, 3600000}, {0, 0, 3600000});
    write_records(path, with_nodes(header, make_nodes(1001, 1001, [](int r, int c) {
                      return 400000 + 37 * r - 11 * c + (r * c) % 97;
                  })));
}

std::string dense_points(const std::string& tail)
{
    std::string points;
    for (int k = 0; k < 5000; ++k)
        points += std::to_string(50.0001 + 0.0002 * k) + " " + std::to_string(8.9 - 0.00017 * k) + tail + "\n";
    return points;
}

std::string terminal_text(const std::string& path)
{
    std::string text = read_text(path);
#ifdef _WIN32
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
#endif
    return text;
}

int run_program(const std::string& dir, const std::string& program, const std::string& args, const std::string& input,
                const std::string& output)
{
#ifdef _WIN32
    // cmd's syntax; the programs are named by their Windows path.
    const std::string cmd = "cd /d \"" + dir + "\" && \"" + program + "\" " + args + " < " + (input.empty() ? "NUL" : input) +
                            " > " + output + " 2>&1";
    return std::system(cmd.c_str());
#else
    // A run that does not end within the limit counts as hung (status 124).
    const std::string cmd = "cd '" + dir + "' && timeout 60 '" + program + "' " + args + " < " +
                            (input.empty() ? "/dev/null" : input) + " > " + output + " 2>&1";
    const int raw = std::system(cmd.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
}

#ifndef _WIN32
int in_child(const std::function<int()>& body)
{
    const pid_t child = fork();
    if (child == 0) _exit(body());
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return -2;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool limit_address_space(std::size_t extra)
{
    long pages = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr) return false;
    const bool read = std::fscanf(statm, "%ld", &pages) == 1;
    std::fclose(statm);
    const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + extra;
    const rlimit rl{limit, limit};
    return read && setrlimit(RLIMIT_AS, &rl) == 0;
}
#endif

}  // namespace testing_support
