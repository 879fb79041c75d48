// Converts one whole file, piece by piece, into an output file.
//
// The source is read in blocks, so memory stays flat at any file size; it is
// cut into pieces (engine/piece_cutter.h), each piece goes through the line
// converter, and the converted pieces go out through an output buffer.  A
// UTF-16 source loses its FF FE mark and a UTF-16 target gains one; a UTF-8
// source loses its EF BB BF mark, which is written again only when the target
// is UTF-8 too.  The job's cancel flag is honoured before every piece.
//
// A source that holds a zero byte (a 0000 unit in UTF-16) fails as a whole,
// "holds a zero byte at offset N", rather than lose the text after it.  Under
// auto-detection UTF-7 is read strictly, and a refused piece names the guessed
// code and tells how to name the right one.
//
// Every character a codec replaces (see LostCount in platform/cp932.h) is
// counted, with the line of the first one; under the job's strict flag the
// first one fails the file instead.  Offsets in reasons and reports count
// from the start of the file, its byte-order mark included.
//
// Each converted block is compared, as it is made, with the source bytes at
// the same offset, so the caller learns whether the output is the source byte
// for byte without reading the file twice.  Without an output file the text is
// converted into nothing: a dry run that counts and compares, writing nothing.
//
// A large file is converted in blocks on several threads, by the job's block
// plan (job/block_converter.h), with exactly the result described here.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "job/convert_job.h"
#include "job/progress_counter.h"
#include "platform/file_handle.h"

namespace ruv {

// The characters one conversion replaced, and where the first one was.
struct ReplacedCharacters {
    std::uint64_t count = 0;
    std::uint64_t firstLine = 0;        // from 1, counting the source's line ends; 0: none
    std::uint64_t firstLineOffset = 0;  // byte offset of that line in the source
    bool firstHadNoCode = false;        // true: no code in the target; false: broken in the source
};

// The name ruv gives a code in its messages ("Shift_JIS", "UTF-16", ...), or
// null for a code that is none.
const char* CodeName(KanjiCode code);

// What one conversion found.
struct FileConversion {
    ReplacedCharacters replaced;
    bool unchanged = false;  // the output is the source's bytes, every one, and no more
};

// Converts the open source into the open output (none: into nothing) by the
// options, under the job's auto-detection and strict flags, and advances the
// job's progress position.  Returns true when every piece was converted and
// written, or when the job was cancelled part-way (the caller, seeing the
// flag, discards the output); false with a reason when reading, converting or
// writing failed, or, under the job's strict flag, when a character would be
// replaced.  What was found goes to `result` when given.
bool ConvertFile(const FileHandle& source, const FileHandle* output,
                 const ConversionOptions& options, ConvertJob& job, ProgressCounter& progress,
                 std::string& reason, FileConversion* result = nullptr);

// The same for a source whose first bytes were already read (standard input,
// whose head was read for detection): head comes first, then the rest.
bool ConvertFile(std::span<const std::uint8_t> head, const FileHandle& source,
                 const FileHandle* output, const ConversionOptions& options, ConvertJob& job,
                 ProgressCounter& progress, std::string& reason, FileConversion* result = nullptr);

// The same from paths: the source opened for reading, the output created or
// emptied.  Nothing is flushed to the disk here; the caller decides.
bool ConvertFile(const std::filesystem::path& source, const std::filesystem::path& output,
                 const ConversionOptions& options, ConvertJob& job, ProgressCounter& progress,
                 std::string& reason, FileConversion* result = nullptr);

}  // namespace ruv
