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

// A font file read only where asked, so that what is held at once is never
// more than one table directory (at most 12 + 16 * 65535 bytes), however
// large the file.
class FontBytes {
public:
    FontBytes(const std::string& path, std::uint64_t size) : file_(path, std::ios::binary), size_(size) {}

    std::uint64_t size() const { return size_; }

    // The `count` bytes at `at`; false where they pass the end of the file
    // or cannot be read.
    bool read(std::uint64_t at, std::uint64_t count, Bytes& bytes)
    {
        if (at > size_ || count > size_ - at)
            return false;
        bytes.resize(static_cast<std::size_t>(count));
        return static_cast<bool>(file_.seekg(static_cast<std::streamoff>(at))
                                     .read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count)));
    }

private:
    std::ifstream file_;
    std::uint64_t size_;
};

// One font's table directory at `at`: a 12-byte header, then a 16-byte record
// per table holding its offset (at +8) and length (at +12).
bool is_complete_font(FontBytes& file, std::uint64_t at)
{
    Bytes b;
    if (!file.read(at, 12, b))
        return false;
    const std::uint32_t version = be32(b, 0);
    if (version != 0x00010000u && version != tag("true") && version != tag("OTTO"))
        return false;
    const std::uint32_t num_tables = be16(b, 4);
    if (num_tables == 0 || !file.read(at + 12, 16 * std::uint64_t(num_tables), b))
        return false;
    for (std::uint32_t i = 0; i < num_tables; ++i) {
        const std::uint64_t record = 16 * std::uint64_t(i);
        if (std::uint64_t(be32(b, record + 8)) + be32(b, record + 12) > file.size())
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
    if (error)
        return false;
    FontBytes file(path, size);
    Bytes b;
    if (!file.read(0, 12, b))
        return false;
    if (be32(b, 0) != tag("ttcf"))
        return is_complete_font(file, 0);
    const std::uint32_t num_fonts = be32(b, 8);
    if (num_fonts == 0 || 12 + 4 * std::uint64_t(num_fonts) > size)
        return false;
    for (std::uint32_t i = 0; i < num_fonts; ++i)
        if (!file.read(12 + 4 * std::uint64_t(i), 4, b) || !is_complete_font(file, be32(b, 0)))
            return false;
    return true;
}
