// The free-format reader in every shape the programs use it: reads of two and of three values,
// going back to the line where a read ended, and back to the start. Input: one control byte,
// then the file. A read must end (Ok, End or Error) and an Ok read gives finite numbers.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "textio/textio.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    const std::uint8_t control = data[0];
    std::FILE* f = std::tmpfile();
    if (f == nullptr) return 0;
    std::fwrite(data + 1, 1, size - 1, f);
    std::rewind(f);
    {
        textio::FreeReader reader(f);
        double v[3];
        int steps = 0;
        for (unsigned k = 0; steps < 100000; ++k, ++steps) {
            const int shape = (control >> (2 * (k % 4))) & 3;
            if (shape == 2 && k % 7 == 3) {
                if (!reader.backspace()) break;
                continue;
            }
            const int count = shape == 0 ? 2 : 3;
            const textio::ReadStatus st = reader.read(v, count);
            if (st != textio::ReadStatus::Ok) break;
            for (int j = 0; j < count; ++j)
                if (!std::isfinite(v[j])) std::abort();
        }
    }
    std::fclose(f);
    return 0;
}
