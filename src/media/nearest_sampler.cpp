#include "media/nearest_sampler.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

// Target rows converted and gathered together: their source rows are still
// in the cache when they are gathered.
constexpr std::size_t kRowsAtOnce = 16;

constexpr uint32_t kOpaque = 0xff000000u;
static_assert(std::endian::native == std::endian::little, "pixels are moved as little-endian words");

inline uint32_t load32(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

} // namespace

void NearestSampler::setGeometry(int sw, int sh, int dw, int dh, bool mirror, int pixelBytes)
{
    if (sw == m_sw && sh == m_sh && dw == m_dw && dh == m_dh && mirror == m_mirror && pixelBytes == m_pixelBytes)
        return;
    m_sw = sw, m_sh = sh, m_dw = dw, m_dh = dh, m_mirror = mirror, m_pixelBytes = pixelBytes;
    m_columnOffsets.resize(static_cast<std::size_t>(dw));
    for (int x = 0; x < dw; ++x) {
        const int column = mirror ? dw - 1 - x : x;
        m_columnOffsets[x] = static_cast<uint32_t>(column * sw / dw * pixelBytes);
    }
    m_identityColumns = !mirror && dw == sw && pixelBytes == 3;
    m_rows.resize(static_cast<std::size_t>(dh));
    for (int y = 0; y < dh; ++y)
        m_rows[y] = y * sh / dh;
}

template <typename Gather>
bool NearestSampler::sample(PictureRows& source, const std::vector<int>& rows, uint8_t* out, std::size_t stride,
                            std::size_t rowBytes, Gather gather)
{
    for (std::size_t first = 0; first < rows.size(); first += kRowsAtOnce) {
        const std::size_t end = std::min(rows.size(), first + kRowsAtOnce);
        if (!source.prepare(rows.data() + first, end - first))
            return false;
        for (std::size_t i = first; i < end; ++i) {
            uint8_t* target = out + i * stride;
            // Upscaling repeats source rows: copy the row just written.
            if (i > 0 && rows[i] == rows[i - 1])
                std::memcpy(target, target - stride, rowBytes);
            else
                gather(source.row(rows[i]), target);
        }
    }
    return true;
}

bool NearestSampler::sampleFrame(PictureRows& source, uint8_t* out, std::size_t stride)
{
    const std::size_t columns = m_columnOffsets.size();
    const uint32_t* offsets = m_columnOffsets.data();
    return sample(source, m_rows, out, stride, columns * 3, [&](const uint8_t* in, uint8_t* target) {
        if (m_identityColumns) {
            std::memcpy(target, in, columns * 3);
            return;
        }
        // Pixels move as 4 bytes, the 4th overwritten by the next pixel, four
        // at a time; the last moves 3, so that nothing past the row is touched.
        std::size_t x = 0;
        for (; x + 4 < columns; x += 4, target += 12) {
            const uint32_t a = load32(in + offsets[x]), b = load32(in + offsets[x + 1]);
            const uint32_t c = load32(in + offsets[x + 2]), d = load32(in + offsets[x + 3]);
            std::memcpy(target, &a, 4);
            std::memcpy(target + 3, &b, 4);
            std::memcpy(target + 6, &c, 4);
            std::memcpy(target + 9, &d, 4);
        }
        for (; x + 1 < columns; ++x, target += 3) {
            const uint32_t pixel = load32(in + offsets[x]);
            std::memcpy(target, &pixel, 4);
        }
        std::memcpy(target, in + offsets[columns - 1], 3);
    });
}

const std::vector<int>& NearestSampler::rowsConverted(const PictureRows& source)
{
    if (!source.picture() || source.picture()->frame() || m_dh >= m_sh)
        return m_rows;
    m_convertedRows = m_rows;
    for (std::size_t y = 0; y < m_rows.size(); ++y) {
        const auto end = static_cast<int>((y + 1) * static_cast<std::size_t>(m_sh) / m_rows.size());
        for (int r = m_rows[y]; r < end; ++r) {
            if (source.converted(r)) {
                m_convertedRows[y] = r;
                break;
            }
        }
    }
    return m_convertedRows;
}

bool NearestSampler::sampleRgb32(PictureRows& source, uint8_t* out, std::size_t stride)
{
    const std::size_t columns = m_columnOffsets.size();
    const uint32_t* offsets = m_columnOffsets.data();
    const std::vector<int>& rows = rowsConverted(source);
    return sample(source, rows, out, stride, columns * 4, [&](const uint8_t* in, uint8_t* target) {
        // A Frame pixel's bytes (blue, green, red) are the low three bytes of
        // a little-endian 0xffRRGGBB word.
        auto* words = reinterpret_cast<uint32_t*>(target);  // QImage rows are 4-byte aligned
        std::size_t x = 0;
        for (; x + 4 <= columns; x += 4) {
            words[x] = load32(in + offsets[x]) | kOpaque;
            words[x + 1] = load32(in + offsets[x + 1]) | kOpaque;
            words[x + 2] = load32(in + offsets[x + 2]) | kOpaque;
            words[x + 3] = load32(in + offsets[x + 3]) | kOpaque;
        }
        for (; x < columns; ++x)
            words[x] = load32(in + offsets[x]) | kOpaque;
    });
}
