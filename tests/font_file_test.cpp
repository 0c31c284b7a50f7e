#include "app/font_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

void put32(Bytes& b, unsigned long v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        b.push_back(static_cast<unsigned char>(v >> shift));
}

void put16(Bytes& b, unsigned v)
{
    b.push_back(static_cast<unsigned char>(v >> 8));
    b.push_back(static_cast<unsigned char>(v));
}

// An sfnt directory whose tables (given as lengths) follow it back to back.
Bytes sfnt(unsigned long version, const std::vector<unsigned long>& lengths, unsigned long base = 0)
{
    Bytes b;
    put32(b, version);
    put16(b, static_cast<unsigned>(lengths.size()));
    put16(b, 0), put16(b, 0), put16(b, 0);
    unsigned long offset = base + 12 + 16 * lengths.size();
    for (unsigned long length : lengths) {
        put32(b, 0x676c7966), put32(b, 0), put32(b, offset), put32(b, length);
        offset += length;
    }
    for (unsigned long length : lengths)
        b.insert(b.end(), length, 0);
    return b;
}

class FontFile : public ::testing::Test {
protected:
    std::string path = ::testing::TempDir() + "orrinade_font_file_test.ttf";

    bool check(const Bytes& bytes)
    {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return is_complete_font_file(path);
    }

    void TearDown() override { std::remove(path.c_str()); }
};

}

TEST_F(FontFile, WholeFontsPass)
{
    EXPECT_TRUE(check(sfnt(0x00010000, {40, 8, 100})));
    EXPECT_TRUE(check(sfnt(0x4f54544f, {16})));  // "OTTO"
    EXPECT_TRUE(is_complete_font_file(ORRINADE_TEST_FONT));

    Bytes collection;
    put32(collection, 0x74746366);  // "ttcf"
    put32(collection, 0x00010000);
    put32(collection, 1);
    put32(collection, 16);
    const Bytes font = sfnt(0x00010000, {24}, 16);
    collection.insert(collection.end(), font.begin(), font.end());
    EXPECT_TRUE(check(collection));

    collection.resize(collection.size() - 1);
    EXPECT_FALSE(check(collection));
}

TEST_F(FontFile, TruncatedOrForeignFilesFail)
{
    Bytes whole = sfnt(0x00010000, {40, 8, 100});
    for (std::size_t size : {std::size_t(0), std::size_t(5), std::size_t(12), std::size_t(30),
                             whole.size() - 1}) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<long>(size));
        EXPECT_FALSE(check(cut)) << size;
    }
    EXPECT_FALSE(check(sfnt(0x00010000, {})));
    EXPECT_FALSE(check(sfnt(0x12345678, {16})));
    const std::string text = "hello, not a font at all";
    EXPECT_FALSE(check(Bytes(text.begin(), text.end())));

    Bytes overflowing = sfnt(0x00010000, {8});
    overflowing[12 + 8] = 0xff;  // offset near 2^32: must not wrap around
    EXPECT_FALSE(check(overflowing));
}

TEST_F(FontFile, MissingFilesAndDirectoriesFail)
{
    EXPECT_FALSE(is_complete_font_file(path + ".missing"));
    EXPECT_FALSE(is_complete_font_file(::testing::TempDir()));
}
