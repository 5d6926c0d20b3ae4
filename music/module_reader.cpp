#include "music/module_reader.h"

#include "music/song.h"
#include "platform/message_box.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace music {

int modChannelsForTag(const std::uint8_t* tag); // mod_reader.cpp

namespace {

constexpr char kXmSignature[] = "Extended Module: ";
constexpr std::size_t kXmSignatureLength = 17;
constexpr std::size_t kModTagOffset = 1080;
// Larger files are not modules this program can hold in its pool.
constexpr std::uintmax_t kMaxFileSize = 256u * 1024u * 1024u;

bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || static_cast<std::uintmax_t>(size) > kMaxFileSize)
        return false;
    in.seekg(0, std::ios::beg);
    bytes.resize(static_cast<std::size_t>(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size))
        return false;
    return true;
}

LoadResult cannotOpen(const std::string& path)
{
    LoadResult result;
    result.status = LoadStatus::CannotOpen;
    result.messages.push_back({path, "Kunde inte öppna file"});
    return result;
}

using Reader = LoadResult (*)(Song&, std::span<const std::uint8_t>);

bool loadWith(Song& song, const std::string& path, Reader reader)
{
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(path, bytes))
        return reportLoadResult(cannotOpen(path));
    return reportLoadResult(reader(song, bytes));
}

} // namespace

ModuleKind detectModuleKind(std::span<const std::uint8_t> file)
{
    if (file.size() >= kXmSignatureLength && std::memcmp(file.data(), kXmSignature, kXmSignatureLength) == 0)
        return ModuleKind::Xm;
    if (file.size() >= kModTagOffset + 4 && modChannelsForTag(file.data() + kModTagOffset) != 0)
        return ModuleKind::Mod;
    return ModuleKind::Unknown;
}

LoadResult readModule(Song& song, std::span<const std::uint8_t> file)
{
    switch (detectModuleKind(file)) {
    case ModuleKind::Xm:
        return readXm(song, file);
    case ModuleKind::Mod:
        return readMod(song, file);
    case ModuleKind::Unknown:
        break;
    }
    LoadResult result;
    result.status = LoadStatus::UnknownType;
    result.messages.push_back({"unknown", "Unknown module type"});
    return result;
}

LoadResult readModuleFile(Song& song, const std::string& path)
{
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(path, bytes))
        return cannotOpen(path);
    return readModule(song, bytes);
}

bool reportLoadResult(const LoadResult& result)
{
    for (const LoadMessage& m : result.messages)
        platform::messageBox(m.caption, m.text);
    if (result.fatal()) {
        if (!result.standardOutput.empty()) {
            std::fputs(result.standardOutput.c_str(), stdout);
            std::fflush(stdout);
        }
        platform::fatalExit(1);
    }
    return result.loaded();
}

bool loadModule(Song& song, const std::string& path) { return loadWith(song, path, &readModule); }
bool loadXm(Song& song, const std::string& path) { return loadWith(song, path, &readXm); }
bool loadMod(Song& song, const std::string& path) { return loadWith(song, path, &readMod); }

} // namespace music
