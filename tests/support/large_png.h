#pragma once

#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

// Writes a PNG of width x height RGBA pixels with `bits` (8 or 16) a channel,
// every one zero, in a few MB however large the picture: each row is
// compressed on its own and, after the first, comes out as the same bytes.
inline bool writeLargePng(const std::string& path, uint32_t width, uint32_t height, int bits)
{
    const auto put32 = [](std::string& out, uint32_t value) {
        for (int shift = 24; shift >= 0; shift -= 8)
            out += char(value >> shift & 0xff);
    };
    std::ofstream file(path, std::ios::binary);
    const auto chunk = [&](const char* type, const std::string& data) {
        std::string bytes;
        put32(bytes, uint32_t(data.size()));
        bytes += type + data;
        put32(bytes, uint32_t(crc32(0, reinterpret_cast<const Bytef*>(bytes.data() + 4), uInt(bytes.size() - 4))));
        file.write(bytes.data(), std::streamsize(bytes.size()));
    };
    file.write("\x89PNG\r\n\x1a\n", 8);
    std::string header;
    put32(header, width);
    put32(header, height);
    header += {char(bits), 6, 0, 0, 0};  // RGBA, deflate, no interlace
    chunk("IHDR", header);

    const std::vector<Bytef> row(1 + std::size_t(width) * 4 * std::size_t(bits) / 8, 0);  // filter 0, pixels
    z_stream stream{};
    deflateInit(&stream, Z_BEST_COMPRESSION);
    std::vector<Bytef> out(deflateBound(&stream, uLong(row.size())) + 64);
    const auto deflated = [&](int flush) {
        stream.next_in = const_cast<Bytef*>(row.data());
        stream.avail_in = flush == Z_FINISH ? 0 : uInt(row.size());
        stream.next_out = out.data();
        stream.avail_out = uInt(out.size());
        deflate(&stream, flush);
        return std::string(reinterpret_cast<const char*>(out.data()), out.size() - stream.avail_out);
    };
    const std::string first = deflated(Z_FULL_FLUSH);  // with the stream's header
    const std::string next = deflated(Z_FULL_FLUSH);
    std::string end = deflated(Z_FINISH);
    deflateEnd(&stream);
    // The stream ends in the checksum of everything it holds, not of the two rows given.
    const uLong rowSum = adler32(adler32(0, nullptr, 0), row.data(), uInt(row.size()));
    uLong sum = adler32(0, nullptr, 0);
    for (uint32_t y = 0; y < height; ++y)
        sum = adler32_combine(sum, rowSum, z_off_t(row.size()));
    end.resize(end.size() - 4);
    put32(end, uint32_t(sum));
    std::string data = first;
    for (uint32_t y = 1; y < height; ++y)
        data += next;
    chunk("IDAT", data + end);
    chunk("IEND", {});
    return bool(file);
}
