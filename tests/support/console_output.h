#pragma once
// What the console library says: the text of the errors it throws and the
// lines its conversion engine prints.
#include "console/display.h"

#include <string>

namespace testing_support {

// The message of the display::Error that `action` throws, or
// "(nothing thrown)".
std::string errorText(auto&& action)
{
    try {
        action();
    } catch (const display::Error& error) {
        return error.message();
    }
    return "(nothing thrown)";
}

// Captured standard output without the conversion engine's own lines (those
// starting "Converter ", printed when the first surface of a process starts
// the engine and when the last one stops it).
std::string withoutConverterLines(const std::string& captured);

} // namespace testing_support
