// The label of every detection result, as the file list and ruv-cli show it,
// with the string id it has in the window's string table.
#pragma once

#include <array>
#include <filesystem>
#include <string>

#include "engine/kanji_code.h"

namespace ruv {

struct CodeLabelEntry {
    KanjiCode code;
    int stringId;
    const char* text;  // UTF-8
};

// The labels of the nine detection results; every other value (CODE_ERROR)
// takes CODE_ERROR_LABEL.
inline constexpr std::array<CodeLabelEntry, 9> CODE_LABELS{{
    {CODE_ASCII, 10100, "ASCII"},
    {CODE_JIS, 10101, "JIS"},
    {CODE_SJIS, 10102, "Shift-JIS"},
    {CODE_EUC, 10103, "EUC"},
    {CODE_UNICODE, 10104, "Unicode"},
    {CODE_UTF8, 10105, "UTF-8"},
    {CODE_UTF7, 10106, "UTF-7"},
    {CODE_UNKNOWN, 10110, "不明"},
    {CODE_BINARY, 10111, "binary"},
}};
inline constexpr CodeLabelEntry CODE_ERROR_LABEL{CODE_ERROR, 10112, "error"};

// The label text of code; "error" for any value that is not a detection result.
const char* CodeLabel(KanjiCode code);

// Detects the file's code with a converter of its own and gives its label.
KanjiCode DetectFileLabel(const std::filesystem::path& path, std::string& label);

}  // namespace ruv
