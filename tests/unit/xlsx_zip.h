#pragma once
// Test helper: reads one member of a .xlsx (zip) file, enough to check the XML it holds.
#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace tc::test {

inline std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The uncompressed content of the member called name; throws if there is none.
inline std::string zipMember(const std::string& zip, const std::string& name) {
    auto u16 = [&](size_t at) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(zip.at(at))) |
               static_cast<std::uint32_t>(static_cast<unsigned char>(zip.at(at + 1))) << 8;
    };
    auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
    if (zip.size() < 22) throw std::runtime_error("not a zip file");
    size_t eocd = zip.size() - 22;
    while (u32(eocd) != 0x06054b50) {
        if (eocd == 0) throw std::runtime_error("no zip directory");
        --eocd;
    }
    const std::uint32_t entries = u16(eocd + 10);
    size_t at = u32(eocd + 16);
    for (std::uint32_t i = 0; i < entries; ++i) {
        if (u32(at) != 0x02014b50) throw std::runtime_error("bad zip directory");
        const std::uint32_t method = u16(at + 10), packed = u32(at + 20), size = u32(at + 24);
        const std::uint32_t nameLen = u16(at + 28), extraLen = u16(at + 30),
                            commentLen = u16(at + 32);
        const size_t local = u32(at + 42);
        if (zip.compare(at + 46, nameLen, name) == 0 && nameLen == name.size()) {
            const size_t data = local + 30 + u16(local + 26) + u16(local + 28);
            if (method == 0) return zip.substr(data, size);
            std::string out(size, '\0');
            z_stream z{};
            if (inflateInit2(&z, -MAX_WBITS) != Z_OK) throw std::runtime_error("inflateInit2");
            z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zip.data() + data));
            z.avail_in = packed;
            z.next_out = reinterpret_cast<Bytef*>(out.data());
            z.avail_out = size;
            const int rc = inflate(&z, Z_FINISH);
            inflateEnd(&z);
            if (rc != Z_STREAM_END) throw std::runtime_error("cannot inflate " + name);
            return out;
        }
        at += 46 + nameLen + extraLen + commentLen;
    }
    throw std::runtime_error("no member " + name);
}

// How often needle occurs in hay.
inline size_t countOf(const std::string& hay, const std::string& needle) {
    size_t n = 0;
    for (size_t p = hay.find(needle); p != std::string::npos;
         p = hay.find(needle, p + needle.size()))
        ++n;
    return n;
}

} // namespace tc::test
