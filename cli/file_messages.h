// The words ruv-cli uses about a file it could not read or that lost characters.
#pragma once

#include <filesystem>
#include <string>

#include "engine/kanji_code.h"
#include "job/file_converter.h"

namespace ruv {

// Why a file registered as unreadable cannot be read, learnt by opening it
// again now: the system's words, such as "No such file or directory" or
// "Permission denied".
std::string UnreadableReason(const std::filesystem::path& path);

// What a file lost in its conversion, as "3 characters could not be written in
// Shift_JIS and became "?" (first on line 12)".
std::string LostLine(const ReplacedCharacters& lost, KanjiCode source, KanjiCode target);

}  // namespace ruv
