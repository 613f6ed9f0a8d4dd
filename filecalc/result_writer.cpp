#include "filecalc/result_writer.h"

namespace filecalc {

std::unique_ptr<ResultWriter> make_writer(const WriterSetup& setup, ResultSink& sink)
{
    switch (setup.job.output) {
    case Output::Table: return make_table_writer(setup, sink);
    case Output::Columns: break;
    }
    return make_columns_writer(setup, sink);
}

ResultSink::ResultSink(std::FILE* file) : file_(file)
{
    text.reserve(textio::kWriteBatch + 512);
}

void ResultSink::flush()
{
    std::fwrite(text.data(), 1, text.size(), file_);
    text.clear();
}

}  // namespace filecalc
