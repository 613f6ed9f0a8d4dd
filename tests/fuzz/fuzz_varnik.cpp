// varnik run in-process on a fuzzed point file with the sample model, in each height mode
// (the first byte chooses the answers). The run must end, whatever the file holds.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "console/varnik.h"

namespace {

// A working directory of its own: the point file, the result file and varnik.err live there.
bool enter_scratch_dir()
{
    static const bool ok = [] {
        char name[] = "/tmp/fuzz-varnik-XXXXXX";
        return mkdtemp(name) != nullptr && chdir(name) == 0;
    }();
    return ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1 || !enter_scratch_dir()) return 0;
    std::FILE* points = std::fopen("points.txt", "wb");
    if (points == nullptr) return 0;
    std::fwrite(data + 1, 1, size - 1, points);
    std::fclose(points);
    std::remove("out.txt");
    static const char* const kAnswers[] = {"n\n", "j\nj\n", "j\nn\n"};
    const std::string answers = std::string(SAMPLE_MODEL) + "\npoints.txt\n" + kAnswers[data[0] % 3] + "out.txt\n";
    std::FILE* in = fmemopen(const_cast<char*>(answers.data()), answers.size(), "r");
    std::FILE* out = std::fopen("/dev/null", "w");
    if (in != nullptr && out != nullptr) run_varnik(in, out);
    if (in != nullptr) std::fclose(in);
    if (out != nullptr) std::fclose(out);
    return 0;
}
