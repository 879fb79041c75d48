#include "detect/code_labels.h"

#include "detect/code_detector.h"
#include "engine/line_converter.h"

namespace ruv {

const char* CodeLabel(KanjiCode code) {
    for (const CodeLabelEntry& entry : CODE_LABELS) {
        if (entry.code == code) return entry.text;
    }
    return CODE_ERROR_LABEL.text;
}

KanjiCode DetectFileLabel(const std::filesystem::path& path, std::string& label) {
    CodeConverter converter;
    const KanjiCode code = DetectFileCode(converter, path);
    label = CodeLabel(code);
    return code;
}

}  // namespace ruv
