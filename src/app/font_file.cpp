#include "app/font_file.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// Big-endian reads; the caller has checked that the bytes exist.
std::uint32_t be16(const Bytes& b, std::uint64_t at)
{
    return (std::uint32_t(b[at]) << 8) | b[at + 1];
}

std::uint32_t be32(const Bytes& b, std::uint64_t at)
{
    return (be16(b, at) << 16) | be16(b, at + 2);
}

constexpr std::uint32_t tag(const char (&s)[5])
{
    return (std::uint32_t(std::uint8_t(s[0])) << 24) | (std::uint32_t(std::uint8_t(s[1])) << 16)
           | (std::uint32_t(std::uint8_t(s[2])) << 8) | std::uint32_t(std::uint8_t(s[3]));
}

// One font's table directory at `at`: a 12-byte header, then a 16-byte record
// per table holding its offset (at +8) and length (at +12).
bool is_complete_font(const Bytes& b, std::uint64_t at)
{
    if (at + 12 > b.size())
        return false;
    const std::uint32_t version = be32(b, at);
    if (version != 0x00010000u && version != tag("true") && version != tag("OTTO"))
        return false;
    const std::uint32_t num_tables = be16(b, at + 4);
    if (num_tables == 0 || at + 12 + 16 * std::uint64_t(num_tables) > b.size())
        return false;
    for (std::uint32_t i = 0; i < num_tables; ++i) {
        const std::uint64_t record = at + 12 + 16 * std::uint64_t(i);
        if (std::uint64_t(be32(b, record + 8)) + be32(b, record + 12) > b.size())
            return false;
    }
    return true;
}

}

bool is_complete_font_file(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return false;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size < 12)
        return false;
    Bytes b(static_cast<std::size_t>(size));
    std::ifstream file(path, std::ios::binary);
    if (!file.read(reinterpret_cast<char*>(b.data()), static_cast<std::streamsize>(size)))
        return false;

    if (be32(b, 0) != tag("ttcf"))
        return is_complete_font(b, 0);
    const std::uint32_t num_fonts = be32(b, 8);
    if (num_fonts == 0 || 12 + 4 * std::uint64_t(num_fonts) > b.size())
        return false;
    for (std::uint32_t i = 0; i < num_fonts; ++i)
        if (!is_complete_font(b, be32(b, 12 + 4 * std::uint64_t(i))))
            return false;
    return true;
}
