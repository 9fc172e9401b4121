// Linux layer of ImageLoader: Qt's image readers decode the first frame,
// QImage converts it to BGR888 (the Frame layout without row padding) and
// libswscale scales it bicubically when another size is asked for.
#include "media/image_loader.h"

#include "media/frame.h"
#include "media/scaler_slack.h"
#include "media/wide_path_linux.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QString>

extern "C" {
#include <libswscale/swscale.h>
}

#include <cstring>
#include <functional>
#include <memory>

namespace {

// What a decoded picture may take before it becomes a Frame: an 8-bit
// picture with alpha at the Frame size bound (1 GiB). A 16-bit one of that
// size would take 2 GiB and, with the Frame beside it, nearly 3 GB for half a
// minute; it fails at once instead. Qt's own limit is the same, in MiB.
constexpr std::size_t kDecodedBytesLimit = std::size_t{kMaxFrameSide} * kMaxFrameSide * 4;
constexpr int kAllocationLimitMiB = static_cast<int>(kDecodedBytesLimit >> 20);

// The formats the program offers, the only ones read: for each it is known
// how its reader meets the end of the file. The GIF and JPEG readers read
// ahead in chunks, so their last read comes back short even from a whole
// file; the BMP and PNG readers ask for exactly what they need.
struct Format {
    const char* name;
    bool readsAhead;
};
constexpr Format kFormats[] = {{"bmp", false}, {"gif", true}, {"jpeg", true}, {"png", false}};

const Format* offeredFormat(const QByteArray& name)
{
    for (const Format& format : kFormats) {
        if (name == format.name)
            return &format;
    }
    return nullptr;
}

// A file that notes when a reader asked it for bytes it does not have. Qt's
// readers do not all report a cut file: the BMP reader leaves the missing
// rows unwritten, the JPEG and GIF readers end the picture early. Once a stop
// is requested every read fails, which ends any reader within one read.
class WatchedFile : public QFile {
public:
    WatchedFile(const QString& path, const std::function<bool()>& stopRequested)
        : QFile(path), m_stopRequested(stopRequested)
    {
    }

    void forgetReads() { m_gotNothing = m_gotLess = false; }
    bool ranOut(bool readsAhead) const { return m_gotNothing || (m_gotLess && !readsAhead); }
    bool stopped() const { return m_stopRequested && m_stopRequested(); }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (stopped())
            return -1;
        const qint64 got = QFile::readData(data, maxSize);
        if (got == 0 && maxSize > 0)
            m_gotNothing = true;
        else if (got > 0 && got < maxSize)
            m_gotLess = true;
        return got;
    }

private:
    const std::function<bool()>& m_stopRequested;
    bool m_gotNothing = false;
    bool m_gotLess = false;
};

// Bytes of a decoded picture of `size` in `format`; 0 when the reader cannot
// tell the format before decoding (Qt's allocation limit still applies).
std::size_t decodedBytes(QSize size, QImage::Format format)
{
    const int bits = QImage::toPixelFormat(format).bitsPerPixel();
    return std::size_t(size.width()) * std::size_t(size.height()) * std::size_t(bits) / 8;
}

// The first frame of the file in QImage::Format_BGR888; null when the file is
// missing, not of an offered format, too large, damaged, cut short or the
// load is stopped. The sizes are checked before anything is decoded.
QImage readFirstFrame(const QString& path, const std::function<bool()>& stopRequested)
{
    WatchedFile file(path, stopRequested);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);  // orientation tags are not applied, as on Windows
    // The format first: another reader may parse the whole file to tell its
    // size, and Qt's SVG reader opens the pictures an SVG file names.
    const Format* format = offeredFormat(reader.format());
    if (format == nullptr)
        return {};
    const QSize size = reader.size();
    if (!frameBytes(size.width(), size.height()) || decodedBytes(size, reader.imageFormat()) > kDecodedBytesLimit)
        return {};
    file.forgetReads();
    QImage image;
    if (!reader.read(&image) || file.ranOut(format->readsAhead) || file.stopped() ||
        !frameBytes(image.width(), image.height()))
        return {};
    return image.convertToFormat(QImage::Format_BGR888);  // null when memory runs out
}

// Copies the picture's rows back to back, dropping QImage's row padding.
void copyRows(const QImage& image, uint8_t* out)
{
    const std::size_t rowBytes = static_cast<std::size_t>(image.width()) * 3;
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(out + static_cast<std::size_t>(y) * rowBytes, image.constScanLine(y), rowBytes);
}

// Scales a Frame (followed by kScalerSlack spare bytes) into `out`.
bool scaleBicubic(const uint8_t* source, int width, int height, int targetWidth, int targetHeight,
                  std::vector<uint8_t>& out)
{
    const std::unique_ptr<SwsContext, decltype(&sws_freeContext)> scaler(
        sws_getContext(width, height, AV_PIX_FMT_BGR24, targetWidth, targetHeight, AV_PIX_FMT_BGR24,
                       SWS_BICUBIC, nullptr, nullptr, nullptr),
        &sws_freeContext);
    if (!scaler)
        return false;
    const std::size_t bytes = *frameBytes(targetWidth, targetHeight);
    out.resize(bytes + kScalerSlack);
    const uint8_t* const sourcePlanes[1] = {source};
    const int sourceStrides[1] = {width * 3};
    uint8_t* const planes[1] = {out.data()};
    const int strides[1] = {targetWidth * 3};
    const bool scaled = sws_scale(scaler.get(), sourcePlanes, sourceStrides, 0, height, planes,
                                  strides) == targetHeight;
    out.resize(bytes);
    return scaled;
}

} // namespace

ImageLoader::ImageLoader() = default;

ImageLoader::~ImageLoader() = default;

// Qt's readers need no factory; their allocation limit is the only set-up.
bool ImageLoader::Initialize()
{
    QImageReader::setAllocationLimit(kAllocationLimitMiB);
    m_factory = this;
    return true;
}

bool ImageLoader::LoadImageW(const wchar_t* path, unsigned targetWidth, unsigned targetHeight)
{
    Release();
    const std::optional<std::string> utf8 = utf8FromWide(path);
    if (!m_factory || !utf8)
        return false;
    QImage image = readFirstFrame(QString::fromStdString(*utf8), m_stopRequested);
    if (image.isNull() || stopRequested())
        return false;
    const auto width = static_cast<unsigned>(image.width());
    const auto height = static_cast<unsigned>(image.height());
    if (targetWidth == 0 || targetHeight == 0) {
        targetWidth = width;
        targetHeight = height;
    }
    const std::optional<std::size_t> bytes = frameBytes(targetWidth, targetHeight);
    if (!bytes)
        return false;

    if (targetWidth == width && targetHeight == height) {
        m_pixels.resize(*bytes);
        copyRows(image, m_pixels.data());
    } else {
        std::vector<uint8_t> natural(*frameBytes(width, height) + kScalerSlack);
        copyRows(image, natural.data());
        image = QImage();
        if (!scaleBicubic(natural.data(), static_cast<int>(width), static_cast<int>(height),
                          static_cast<int>(targetWidth), static_cast<int>(targetHeight), m_pixels)) {
            Release();
            return false;
        }
    }
    m_width = targetWidth;
    m_height = targetHeight;
    return true;
}
