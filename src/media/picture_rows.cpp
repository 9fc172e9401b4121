#include "media/picture_rows.h"

#include "media/nearest_sampler.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace {
// Readers move pixels as 4 bytes: the last row of the store may be read one
// byte past its end.
constexpr std::size_t kReadSlack = 4;
} // namespace

void PictureRows::setPicture(std::shared_ptr<const Picture> picture)
{
    m_picture = std::move(picture);
    if (!m_picture) {
        m_inStore.clear();
        return;
    }
    m_frameRowBytes = static_cast<std::size_t>(m_picture->width()) * 3;
    m_storeRowBytes = Picture::paddedRowBytes(m_picture->width());
    const std::size_t bytes = m_storeRowBytes * static_cast<std::size_t>(m_picture->height()) + kReadSlack;
    // Left uninitialised: only the rows converted are ever written.
    if (bytes > m_storeBytes || bytes < m_storeBytes / 2) {
        m_store.reset(new (std::nothrow) uint8_t[bytes]);
        m_storeBytes = m_store ? bytes : 0;
    }
    m_inStore.assign(static_cast<std::size_t>(m_picture->height()), 0);
}

bool PictureRows::prepare(const int* rows, std::size_t count)
{
    if (!m_picture)
        return false;
    m_missing.clear();
    for (std::size_t i = 0; i < count; ++i)
        if (!m_inStore[rows[i]] && (m_missing.empty() || m_missing.back() != rows[i]))
            m_missing.push_back(rows[i]);
    return convertMissing();
}

bool PictureRows::prepareAll()
{
    if (!m_picture)
        return false;
    const int height = m_picture->height();
    if (!m_picture->frame() && m_store &&
        std::find(m_inStore.begin(), m_inStore.end(), 1) == m_inStore.end() &&
        m_picture->convertAll(m_store.get(), static_cast<std::ptrdiff_t>(m_storeRowBytes), m_converter)) {
        std::fill(m_inStore.begin(), m_inStore.end(), 1);
        return true;
    }
    m_missing.clear();
    for (int y = 0; y < height; ++y)
        if (!m_inStore[y])
            m_missing.push_back(y);
    return convertMissing();
}

bool PictureRows::convertMissing()
{
    if (m_missing.empty())
        return true;
    if (!m_store)
        return false;
    const int height = m_picture->height();
    if (m_picture->frame()) {
        // Rows of a Frame are read where they lie, but for the last, whose
        // next byte is past the Frame's end.
        const int last = height - 1;
        if (m_missing.back() == last) {
            std::memcpy(m_store.get() + static_cast<std::size_t>(last) * m_storeRowBytes,
                        m_picture->frame() + static_cast<std::size_t>(last) * m_frameRowBytes, m_frameRowBytes);
            m_inStore[last] = 1;
        }
        return true;
    }
    if (height < 2)
        return false;  // rows are converted in pairs
    // Pairs of missing rows, each row into its own place; a row left over
    // goes with a neighbour.
    for (std::size_t i = 0; i < m_missing.size(); i += 2) {
        int a = m_missing[i];
        int b = i + 1 < m_missing.size() ? m_missing[i + 1] : (a + 1 < height ? a + 1 : a - 1);
        if (b < a)
            std::swap(a, b);
        uint8_t* out = m_store.get() + static_cast<std::size_t>(a) * m_storeRowBytes;
        const auto stride = static_cast<std::ptrdiff_t>(static_cast<std::size_t>(b - a) * m_storeRowBytes);
        if (!m_picture->convertRows(a, b, out, stride, m_converter))
            return false;
        m_inStore[a] = m_inStore[b] = 1;
    }
    return true;
}

bool readFrame(const std::shared_ptr<const Picture>& picture, std::vector<uint8_t>& out)
{
    if (!picture)
        return false;
    const int width = picture->width(), height = picture->height();
    out.resize(static_cast<std::size_t>(width) * 3 * static_cast<std::size_t>(height));
    if (picture->frame()) {
        std::memcpy(out.data(), picture->frame(), out.size());
        return true;
    }
    PictureRows rows;
    rows.setPicture(picture);
    if (!rows.prepareAll())
        return false;
    NearestSampler sampler;  // same size: packs the converted pixels into Frame pixels
    sampler.setGeometry(width, height, width, height, false, rows.pixelBytes());
    return sampler.sampleFrame(rows, out.data(), static_cast<std::size_t>(width) * 3);
}
