#include "tests/model_builder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

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
    std::string tmpl = (std::filesystem::temp_directory_path() / "geoidtest-XXXXXX").string();
    if (mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

}  // namespace testing_support
