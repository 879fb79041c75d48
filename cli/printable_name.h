// File names made safe to print on a terminal.
#pragma once

#include <string>
#include <string_view>

namespace ruv {

// The name with every byte a terminal could act on written as an escape, the
// way `ls -b` writes it: control characters (C0, DEL, and C1 encoded as
// U+0080-U+009F) and bytes that are not part of valid UTF-8 become \a \b \t
// \n \v \f \r or a three-digit octal escape (ESC is \033), and a backslash is
// doubled, so the printed text names one file only.  Valid UTF-8 text, Japanese
// included, is kept as it is.
std::string PrintableName(std::string_view name);

}  // namespace ruv
