#include "filecalc/read_ahead.h"

#include <new>

namespace filecalc {

ReadAhead::ReadAhead(PointReader& reader) : reader_(reader)
{
    for (Batch& b : batches_) b.points.resize(kBatchPoints);
    thread_ = std::thread([this] { produce(); });
}

ReadAhead::~ReadAhead()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

const ReadAhead::Batch& ReadAhead::next()
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (taken_ >= 0) {
        full_[taken_] = false;  // the run is done with it
        changed_.notify_all();
    }
    taken_ = 1 - (taken_ < 0 ? 1 : taken_);
    changed_.wait(lock, [this] { return full_[taken_]; });
    return batches_[static_cast<std::size_t>(taken_)];
}

// The reading thread: fills the two batches in turn until the file ends, a line cannot be
// read, or the run stops it.
void ReadAhead::produce()
{
    int k = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return stop_ || !full_[k]; });
            if (stop_) return;
        }
        Batch& b = batches_[static_cast<std::size_t>(k)];
        fill(b);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            full_[k] = true;
        }
        changed_.notify_all();
        if (b.end != textio::ReadStatus::Ok) return;
        k = 1 - k;
    }
}

void ReadAhead::fill(Batch& b)
{
    b.count = 0;
    b.end = textio::ReadStatus::Ok;
    try {
        while (b.count < kBatchPoints) {
            const textio::ReadStatus st = reader_.read(b.points[b.count]);
            if (st != textio::ReadStatus::Ok) {
                b.end = st;
                if (st == textio::ReadStatus::Error) b.failure = reader_.failure_line();
                break;
            }
            ++b.count;
        }
    } catch (const std::bad_alloc&) {
        // Reported by the run, in the order of the file.
        b.end = textio::ReadStatus::Error;
        b.out_of_memory = true;
    }
    b.offset = reader_.offset();
}

}  // namespace filecalc
