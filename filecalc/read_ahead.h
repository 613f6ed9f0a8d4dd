// Reading ahead on a thread of its own: batches of points as read, while the run computes and
// writes the batch before. Two batches in all, so memory does not grow with the file. The run
// sees the points, the read error (its line) or the end in the order of the file.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "filecalc/point_reader.h"

namespace filecalc {

/// Points a batch: the run reports its progress and may be cancelled between two.
inline constexpr std::size_t kBatchPoints = 4096;

class ReadAhead {
public:
    struct Batch {
        std::vector<ReadPoint> points;
        std::size_t count = 0;
        std::int64_t offset = 0;  ///< bytes of the input read once the batch was full
        textio::ReadStatus end = textio::ReadStatus::Ok;  ///< Ok: more follow; End, or Error
        std::string failure;  ///< with Error: the read error's line
        bool out_of_memory = false;
    };

    /// Starts reading `reader` at once.
    explicit ReadAhead(PointReader& reader);
    /// Stops the reading thread, wherever it stands.
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    /// The next batch, once read; valid until the next call.
    const Batch& next();

private:
    void produce();
    void fill(Batch& b);

    PointReader& reader_;
    Batch batches_[2];
    bool full_[2] = {false, false};
    int taken_ = -1;
    bool stop_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::thread thread_;
};

}  // namespace filecalc
