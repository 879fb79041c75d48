// Converts one large file on several threads at once, to the same result as
// converting it piece by piece on one thread (job/file_converter.h).
//
// Every line starts in the initial shift state of its code, so a file cut at
// line ends is a set of independent jobs.  The calling thread reads the source
// in blocks of BlockPlan::blockBytes, each cut back to the end of its last line
// (an LF byte; for UTF-16 an LF unit at an even offset) and followed by the
// bytes the piece cutter may look at past it, and hands them to a pool of
// threads.  Each thread has its own cutter, converter and line buffers, and
// each block its own input and output buffers, allocated once per file, so
// memory stays flat at any file size.  The blocks are written to the output
// strictly in their order: a block whose output buffer fills waits for its
// turn to write.  Its line count, lost characters and comparison with the
// source join the file's totals in that same order.
//
// Only clean conversions are finished here.  A piece the line converter
// refuses, a zero byte, a replaced character under the strict flag or in a
// guessed code, a block with no line end, a failed read or write: each of
// these stops every thread, and the caller converts the file again on one
// thread from its start, which finds the same fault with its exact reason and
// offsets.  A cancel stops every block within one piece.
#pragma once

#include <string>

#include "job/convert_job.h"
#include "job/file_converter.h"
#include "job/progress_counter.h"
#include "platform/file_handle.h"

namespace ruv {

enum class BlockOutcome {
    NotTaken,  // one thread is enough (the plan, or a small file): nothing read or written
    Done,      // converted, or cancelled part-way, as ConvertFile reports it
    Redo,      // convert it on one thread from the start: the source was read and
               // the output written to, so rewind the one and empty the other first
};

// The threads the plan asks for: one per core for 0, at most a few.
unsigned BlockThreads(const BlockPlan& plan);

// Converts the source (read from where it stands, its start) into the output
// (none: into nothing) in blocks when the job's plan and the file's size call
// for more than one thread.
BlockOutcome ConvertInBlocks(const FileHandle& source, const FileHandle* output,
                             const ConversionOptions& options, ConvertJob& job,
                             ProgressCounter& progress, FileConversion* result);

}  // namespace ruv
