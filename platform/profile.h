#pragma once
// Settings files in profile (".ini") form: "[section]" lines followed by
// "key=value" lines. Section and key names compare without regard to case,
// names and values are trimmed of surrounding blanks, and lines starting
// with ';' are comments. The first occurrence of a key counts; a section
// named again continues. A leading UTF-8 byte-order mark is skipped.
#include <map>
#include <string>
#include <string_view>

namespace platform {

// A path as the system writes it ("\data\boll.ini") as this platform opens
// it: every backslash becomes '/'.
std::string hostPath(std::string_view path);

class Profile {
public:
    Profile() = default;
    static Profile fromText(std::string_view text);
    // A file that cannot be read gives an empty profile, so every read
    // returns its default.
    static Profile fromFile(const std::string& path);

    // The value, or `fallback` when the section or key is missing; cut to
    // `capacity` - 1 characters like a fixed buffer of that size.
    std::string readString(std::string_view section, std::string_view key, std::string_view fallback,
                           std::size_t capacity = 80) const;
    // The value's leading decimal integer (optional sign), 0 when it has
    // none, clamped to the int range; `fallback` when missing.
    int readInt(std::string_view section, std::string_view key, int fallback) const;

private:
    const std::string* find(std::string_view section, std::string_view key) const;
    // Lower-cased "section\nkey" -> value.
    std::map<std::string, std::string> values_;
};

} // namespace platform
