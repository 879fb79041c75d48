#include "cli/file_messages.h"

#include <cstdint>

#include "platform/file_handle.h"

namespace ruv {

std::string UnreadableReason(const std::filesystem::path& path) {
    std::error_code error;
    const FileHandle file = FileHandle::OpenForReading(path, error);
    if (file.IsOpen()) {
        std::uint8_t byte = 0;
        file.ReadSome(&byte, 1, error);
    }
    if (error == std::errc::operation_would_block) return "in use by another process";
    if (error == std::errc::invalid_argument) return "not a regular file";
    return error ? error.message() : "cannot be read";
}

std::string LostLine(const ReplacedCharacters& lost, KanjiCode source, KanjiCode target) {
    const bool one = lost.count == 1;
    std::string line = std::to_string(lost.count) + (one ? " character " : " characters ");
    if (lost.firstHadNoCode) {
        // EUC-JP and ISO-2022-JP write some as their code for "no counterpart".
        const bool question = target != CODE_EUC && target != CODE_JIS;
        line +=
            std::string("could not be written in ") + CodeName(target) +
            (question ? " and became \"?\"" : (one ? " and was replaced" : " and were replaced"));
    } else {
        const char* name = CodeName(source);
        line += std::string(one ? "was not valid " : "were not valid ") + (name ? name : "text") +
                (one ? " and was replaced" : " and were replaced");
    }
    return line + " (first on line " + std::to_string(lost.firstLine) + ")";
}

}  // namespace ruv
