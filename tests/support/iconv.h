// One glibc iconv converter with one owner: the independent oracle of the
// codec tests and the source of the test corpora in every code.
#pragma once

#include <iconv.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ruv::test {

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    ~Iconv() {
        if (ok()) iconv_close(cd_);
    }
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // The whole input converted, the shift state closed at the end; nullopt
    // for EILSEQ and EINVAL (malformed, or no counterpart). No code here takes
    // more than five bytes for one input byte (a lone "~" in UTF-7).
    std::optional<std::string> Convert(std::string_view input) {
        constexpr auto failed = static_cast<std::size_t>(-1);
        if (!ok()) return std::nullopt;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string output(input.size() * 6 + 16, '\0');
        char* in = const_cast<char*>(input.data());
        char* out = output.data();
        std::size_t inLeft = input.size(), outLeft = output.size();
        if (iconv(cd_, &in, &inLeft, &out, &outLeft) == failed ||
            iconv(cd_, nullptr, nullptr, &out, &outLeft) == failed) {
            return std::nullopt;
        }
        output.resize(output.size() - outLeft);
        return output;
    }

    // The same on bytes; empty when iconv refuses.
    std::vector<std::uint8_t> operator()(const std::vector<std::uint8_t>& in) {
        const auto out = Convert({reinterpret_cast<const char*>(in.data()), in.size()});
        return out ? std::vector<std::uint8_t>(out->begin(), out->end())
                   : std::vector<std::uint8_t>{};
    }

private:
    iconv_t cd_;
};

}  // namespace ruv::test
