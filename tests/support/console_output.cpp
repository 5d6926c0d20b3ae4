#include "tests/support/console_output.h"

#include <sstream>

namespace testing_support {

std::string withoutConverterLines(const std::string& captured)
{
    std::string out, line;
    std::istringstream in(captured);
    while (std::getline(in, line))
        if (line.rfind("Converter ", 0) != 0)
            out += line + "\n";
    return out;
}

} // namespace testing_support
