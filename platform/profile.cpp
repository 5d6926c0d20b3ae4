#include "platform/profile.h"

#include "platform/file_bytes.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace platform {

std::string hostPath(std::string_view path)
{
    std::string p(path);
    std::replace(p.begin(), p.end(), '\\', '/');
    return p;
}

namespace {

std::string_view trim(std::string_view s)
{
    const char* blanks = " \t\r\n\f\v";
    const std::size_t first = s.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

std::string lower(std::string_view s)
{
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return r;
}

std::string slot(std::string_view section, std::string_view key)
{
    return lower(trim(section)) + '\n' + lower(trim(key));
}

} // namespace

Profile Profile::fromText(std::string_view text)
{
    Profile p;
    std::string section;
    bool inSection = false;
    // Editors that save UTF-8 may put a byte-order mark before the first line.
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    while (!text.empty()) {
        const std::size_t eol = text.find('\n');
        const std::string_view line = trim(text.substr(0, eol));
        text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            inSection = close != std::string_view::npos;
            if (inSection)
                section = std::string(line.substr(1, close - 1));
            continue;
        }
        const std::size_t eq = line.find('=');
        if (!inSection || eq == std::string_view::npos)
            continue;
        // emplace keeps the first value of a repeated key.
        p.values_.emplace(slot(section, line.substr(0, eq)), std::string(trim(line.substr(eq + 1))));
    }
    return p;
}

Profile Profile::fromFile(const std::string& path)
{
    std::vector<std::uint8_t> bytes;
    if (!readFileBytes(path, bytes))
        return Profile{};
    return fromText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

const std::string* Profile::find(std::string_view section, std::string_view key) const
{
    const auto it = values_.find(slot(section, key));
    return it == values_.end() ? nullptr : &it->second;
}

std::string Profile::readString(std::string_view section, std::string_view key, std::string_view fallback,
                                std::size_t capacity) const
{
    const std::string* v = find(section, key);
    std::string r(v ? std::string_view(*v) : fallback);
    if (capacity == 0)
        return {};
    if (r.size() > capacity - 1)
        r.resize(capacity - 1);
    return r;
}

int Profile::readInt(std::string_view section, std::string_view key, int fallback) const
{
    const std::string* v = find(section, key);
    if (!v)
        return fallback;
    std::size_t i = 0;
    bool negative = false;
    if (i < v->size() && ((*v)[i] == '-' || (*v)[i] == '+'))
        negative = (*v)[i++] == '-';
    long long n = 0;
    for (; i < v->size() && (*v)[i] >= '0' && (*v)[i] <= '9'; ++i)
        n = std::min<long long>(n * 10 + ((*v)[i] - '0'), 1LL << 32);
    if (negative)
        n = -n;
    return int(std::clamp<long long>(n, INT_MIN, INT_MAX));
}

} // namespace platform
