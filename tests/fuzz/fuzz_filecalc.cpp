// The coordinate file computation on a fuzzed coordinate file: every input format, with and
// without point numbers, into an output format, with the options for point lists (heights,
// zone numbers, separators, header lines, the rest of a line, a table), with the sample model.
// The run must end and report either its counts or one error; the preview must end with at
// most the points asked for.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "filecalc/filecalc.h"

namespace {

struct Quiet : filecalc::Reporter {
    int reports = 0;
    void error(const std::string&) override { ++reports; }
    void finished(const std::string&, const std::string&) override { ++reports; }
};

std::string scratch_dir()
{
    static const std::string dir = [] {
        char name[] = "/tmp/fuzz-filecalc-XXXXXX";
        return mkdtemp(name) != nullptr ? std::string(name) : std::string("/tmp");
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3) return 0;
    filecalc::Job job;
    job.model_file = SAMPLE_MODEL;
    job.input_file = scratch_dir() + "/in.txt";
    job.output_file = scratch_dir() + "/out.txt";
    job.in_format = 1 + data[0] % 7;
    job.out_format = 1 + (data[0] / 7) % 7;
    job.pnr_flag = data[1] & 1;
    job.pnr_length = 1 + (data[1] >> 1) % 30;
    const std::uint8_t options = data[2];
    job.normal_heights = options & 1;
    job.zone_prefix = options & 2;
    job.separator = static_cast<filecalc::Separator>((options >> 2) % 4);
    job.keep_rest = options & 16;
    job.output = options & 32 ? filecalc::Output::Table : filecalc::Output::Columns;
    job.header_lines = options >> 6;
    std::FILE* f = std::fopen(job.input_file.c_str(), "wb");
    if (f == nullptr) return 0;
    std::fwrite(data + 3, 1, size - 3, f);
    std::fclose(f);
    Quiet reporter;
    filecalc::geoidberechnung(job, reporter);
    if (reporter.reports != 1) std::abort();
    // At most five points after the header lines it shows.
    const auto lines = filecalc::preview(job, 5);
    if (std::count_if(lines.begin(), lines.end(), [](const filecalc::PreviewLine& l) { return l.header.empty(); }) > 5) std::abort();
    return 0;
}
