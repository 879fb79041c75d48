// Prepares the files of a run ahead of the worker, on a few threads.
//
// The worker asks for the files' results strictly in the order of the files,
// as a run on one thread meets them, and commits them in that order.  The
// pool's threads take the files in that same order and stay at most a window
// (two files a thread) ahead of the file the worker last asked for, so only a
// bounded number of files and temporary files are open at once.  A result not
// taken when the pool ends is dropped, which removes its temporary file and
// leaves its source as it was.  With no thread nothing runs aside: a file is
// prepared on the worker's thread when it is asked for, as before.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "job/conversion_worker.h"
#include "job/in_place_converter.h"

namespace ruv {

// One file prepared: how it went, and the replacement waiting to be committed.
struct PreparedFile {
    FileOutcome outcome = FileOutcome::Failed;
    std::string reason;
    PendingFile pending;
    ReplacedCharacters replaced;
};

// Prepares one file on the calling thread (PrepareReplacement), naming it the
// file under way.
PreparedFile PrepareFile(const std::vector<JobFile>& files, std::size_t index, ConvertJob& job,
                         ProgressCounter& progress);

class PreparePool {
public:
    // Files with a skipped code are never prepared.  `progress` must be safe
    // to advance from several threads.
    PreparePool(const std::vector<JobFile>& files, ConvertJob& job, ProgressCounter& progress,
                unsigned threads);
    PreparePool(const PreparePool&) = delete;
    PreparePool& operator=(const PreparePool&) = delete;
    ~PreparePool();  // no new file starts; the files under way end (or stop at a cancel)

    // The result of the file at index, waited for (or prepared now when no
    // thread will); the window moves on to it.  Each index is taken once, in
    // ascending order, except after DropAfter.
    PreparedFile Take(std::size_t index);
    // Whether the file at index has been started and not yet taken.
    bool Started(std::size_t index);
    // Whether a file after index has been started and not yet taken.
    bool StartedAfter(std::size_t index);
    // Waits for the files under way, drops every result after index and
    // starts nothing until the next Take: a file a later one holds open is
    // free again, and the later ones are prepared anew.
    void DropAfter(std::size_t index);
    // No new file starts.
    void Stop();

private:
    enum class State { Idle, Running, Ready };
    struct Slot {
        State state = State::Idle;
        PreparedFile result;
    };

    void Serve();
    bool MayStart() const;

    const std::vector<JobFile>& files_;
    ConvertJob& job_;
    ProgressCounter& progress_;
    const std::size_t window_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Slot> slots_;  // guarded by mutex_, as are the counts below
    std::size_t next_ = 0;     // the next file a thread takes
    std::size_t cursor_ = 0;   // the file the worker last asked for
    std::size_t running_ = 0;  // files under way on the pool's threads
    bool paused_ = false;
    bool stopped_ = false;
    std::vector<std::jthread> threads_;  // last: joined before the rest goes
};

}  // namespace ruv
