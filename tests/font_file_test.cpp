#include "app/font_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

std::uint32_t get32(const Bytes& b, std::size_t at)
{
    return (std::uint32_t(b[at]) << 24) | (std::uint32_t(b[at + 1]) << 16) | (std::uint32_t(b[at + 2]) << 8) | b[at + 3];
}

void set32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(v >> (24 - 8 * i));
}

Bytes with32(Bytes b, std::size_t at, std::uint32_t v)
{
    set32(b, at, v);
    return b;
}

void put32(Bytes& b, unsigned long v)
{
    b.resize(b.size() + 4);
    set32(b, b.size() - 4, static_cast<std::uint32_t>(v));
}

// An sfnt directory whose tables (given as lengths) follow it back to back.
Bytes sfnt(unsigned long version, const std::vector<unsigned long>& lengths)
{
    Bytes b;
    put32(b, version);
    put32(b, lengths.size() << 16), put32(b, 0);  // the table count, then zeros
    unsigned long offset = 12 + 16 * lengths.size();
    for (unsigned long length : lengths) {
        put32(b, 0x676c7966), put32(b, 0), put32(b, offset), put32(b, length);
        offset += length;
    }
    for (unsigned long length : lengths)
        b.insert(b.end(), length, 0);
    return b;
}

Bytes real_font()
{
    std::ifstream file(ORRINADE_TEST_FONT, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::size_t num_tables(const Bytes& font, std::size_t at = 0)
{
    return std::size_t(font[at + 4]) << 8 | font[at + 5];
}

// Where the table record i of the directory at `at` keeps its offset (its
// length follows at +4).
std::size_t record(std::size_t i, std::size_t at = 0)
{
    return at + 12 + 16 * i + 8;
}

// The real font as a collection of `count` fonts: its directory follows the
// collection header, and each further font is a copy of that directory at
// the end, all sharing the one set of tables.
Bytes collection(const Bytes& font, std::uint32_t count)
{
    const std::uint32_t header = 12 + 4 * count;
    const std::size_t directory = 12 + 16 * num_tables(font);
    Bytes b;
    put32(b, 0x74746366);  // "ttcf"
    put32(b, 0x00010000);
    put32(b, count);
    for (std::uint32_t i = 0; i < count; ++i)
        put32(b, i == 0 ? header : static_cast<unsigned long>(header + font.size() + (i - 1) * directory));
    b.insert(b.end(), font.begin(), font.end());
    for (std::size_t i = 0; i < num_tables(font); ++i)
        set32(b, record(i, header), get32(b, record(i, header)) + header);
    for (std::uint32_t i = 1; i < count; ++i)
        b.insert(b.end(), b.begin() + header, b.begin() + static_cast<long>(header + directory));
    return b;
}

class FontFile : public ::testing::Test {
protected:
    // One file per test: ctest runs the tests of this fixture side by side.
    std::string path = ::testing::TempDir() + "orrinade_font_file_"
                       + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ttf";

    bool check(const Bytes& bytes)
    {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return is_complete_font_file(path);
    }

    void TearDown() override { std::remove(path.c_str()); }
};

}

// Whole fonts (TrueType, "OTTO", collections of one and two) pass; cut,
// foreign, empty or missing ones fail, and so does a collection any of whose
// fonts is not whole.
TEST_F(FontFile, WholeFontsPassAndOthersFail)
{
    const Bytes whole = sfnt(0x00010000, {40, 8, 100});
    const Bytes one = collection(sfnt(0x00010000, {24}), 1);
    const Bytes real_one = collection(real_font(), 1), two = collection(real_font(), 2);
    const auto size32 = [](const Bytes& b) { return static_cast<std::uint32_t>(b.size()); };
    const std::string text = "hello, not a font at all";
    const std::pair<Bytes, bool> rows[] = {
        {whole, true}, {sfnt(0x4f54544f, {16}), true}, {one, true}, {real_one, true}, {two, true},
        {Bytes(one.begin(), one.end() - 1), false}, {sfnt(0x00010000, {}), false},
        {sfnt(0x12345678, {16}), false}, {Bytes(text.begin(), text.end()), false},
        // An offset near 2^32: must not wrap around.
        {with32(sfnt(0x00010000, {8}), 12 + 8, 0xfffffffc), false},
        // The second font's records cut; its directory starting where the file ends.
        {Bytes(two.begin(), two.end() - 1), false}, {with32(two, 16, size32(two)), false},
        // A table starting past the end.
        {with32(real_one, record(0, 16), get32(real_one, record(0, 16)) + size32(real_one)), false},
        // No fonts at all, a list of fonts cut short, more fonts than the file holds.
        {with32(real_one, 8, 0), false}, {Bytes(two.begin(), two.begin() + 12 + 4 * 2 - 1), false},
        {with32(two, 8, (size32(two) - 12) / 4 + 1), false},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(check(rows[i].first), rows[i].second) << "row " << i;
    for (const std::size_t size : std::vector<std::size_t>{0, 5, 12, 30, whole.size() - 1})
        EXPECT_FALSE(check(Bytes(whole.begin(), whole.begin() + static_cast<long>(size)))) << size;
    EXPECT_TRUE(is_complete_font_file(ORRINADE_TEST_FONT));
    EXPECT_FALSE(is_complete_font_file(path + ".missing"));
    EXPECT_FALSE(is_complete_font_file(::testing::TempDir()));
}

// A sparse terabyte, more than any memory, is judged at once by its directory.
TEST_F(FontFile, HugeFilesAreJudgedByTheirDirectoryAlone)
{
    for (const auto& [start, whole] : {std::pair(sfnt(0x00010000, {16}), true), std::pair(Bytes(12, 0), false)}) {
        check(start);
        std::error_code error;
        std::filesystem::resize_file(path, std::uintmax_t(1) << 40, error);
        if (error)
            GTEST_SKIP() << error.message();
        EXPECT_EQ(is_complete_font_file(path), whole);
    }
}

TEST_F(FontFile, EveryBoundaryOfARealFont)
{
    const Bytes font = real_font();
    const std::size_t n = num_tables(font);
    ASSERT_GT(n, 5u);
    EXPECT_TRUE(check(font));

    // Cut inside the header, at the end of the table records and at the end
    // of the table data reaching furthest.
    std::size_t data_end = 0;
    for (std::size_t i = 0; i < n; ++i)
        data_end = std::max<std::size_t>(data_end, get32(font, record(i)) + get32(font, record(i) + 4));
    ASSERT_LE(data_end, font.size());
    for (std::size_t size : {std::size_t(11), std::size_t(12), 12 + 16 * n - 1, 12 + 16 * n, data_end - 1})
        EXPECT_FALSE(check(Bytes(font.begin(), font.begin() + static_cast<long>(size)))) << size;
    EXPECT_TRUE(check(Bytes(font.begin(), font.begin() + static_cast<long>(data_end))));

    // One table's offset plus length at the end of the file, one byte short
    // of it and one byte past it.
    for (std::size_t i : {std::size_t(0), n / 2, n - 1}) {
        for (long past : {-1L, 0L, 1L}) {
            const auto length = static_cast<long>(font.size() - get32(font, record(i))) + past;
            EXPECT_EQ(check(with32(font, record(i) + 4, static_cast<std::uint32_t>(length))), past <= 0)
                << "table " << i << ", " << past;
        }
    }

    // The records alone, every table empty at the very end of the file.
    Bytes bare(font.begin(), font.begin() + static_cast<long>(12 + 16 * n));
    for (std::size_t i = 0; i < n; ++i)
        set32(bare, record(i), static_cast<std::uint32_t>(bare.size())), set32(bare, record(i) + 4, 0);
    EXPECT_TRUE(check(bare));
    set32(bare, record(n - 1) + 4, 1);
    EXPECT_FALSE(check(bare));
}
