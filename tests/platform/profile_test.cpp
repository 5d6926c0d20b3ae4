#include "platform/profile.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

const char* kText = "\xEF\xBB\xBF; a comment after a byte-order mark\n"
                    "Orphan=1\n"
                    "[Mesh One]\r\n"
                    "  Textur =  data\\tex.tga  \r\n"
                    ";Typ=5\n"
                    "Typ=12abc\n"
                    "Typ=4\n"
                    "Empty=\n"
                    "Minus=-7\n"
                    "Word=abc\n"
                    "Huge=99999999999\n"
                    "[mesh one]\n"
                    "Later=1\n";

TEST(Profile, StringReads)
{
    const platform::Profile p = platform::Profile::fromText(kText);
    struct Case {
        const char* section;
        const char* key;
        std::string expected;
    } cases[] = {
        {"Mesh One", "Textur", "data\\tex.tga"}, // trimmed, kept as written
        {"MESH ONE", "textur", "data\\tex.tga"}, // names ignore case
        {"Mesh One", "Empty", ""},                // present but empty: no default
        {"Mesh One", "Nothing", "dflt"},
        {"Other", "Textur", "dflt"},
        {"", "Orphan", "dflt"},                   // keys before any section belong to none
        {"Mesh One", "Later", "1"},               // a repeated section continues it
    };
    for (const Case& c : cases)
        EXPECT_EQ(p.readString(c.section, c.key, "dflt"), c.expected) << c.section << "/" << c.key;
    EXPECT_EQ(p.readString("Mesh One", "Textur", "", 5), "data"); // a buffer of 5
}

TEST(Profile, IntegerReads)
{
    const platform::Profile p = platform::Profile::fromText(kText);
    EXPECT_EQ(p.readInt("Mesh One", "Typ", -1), 12); // first occurrence, leading digits
    EXPECT_EQ(p.readInt("Mesh One", "Minus", 0), -7);
    EXPECT_EQ(p.readInt("Mesh One", "Word", -1), 0);
    EXPECT_EQ(p.readInt("Mesh One", "Empty", -1), 0);
    EXPECT_EQ(p.readInt("Mesh One", "Huge", 0), INT_MAX);
    EXPECT_EQ(p.readInt("Mesh One", "Missing", -1), -1);
    EXPECT_EQ(platform::Profile::fromFile("/no/such/file.ini").readInt("a", "b", 9), 9);
    EXPECT_EQ(platform::Profile::fromText("\xEF\xBB\xBF[S]\nK=3\n").readInt("s", "k", 0), 3);
}

TEST(Profile, HostPaths) { EXPECT_EQ(platform::hostPath("\\data\\boll.ini"), "/data/boll.ini"); }

} // namespace
