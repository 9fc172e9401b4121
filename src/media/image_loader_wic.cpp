// Windows layer of ImageLoader: the Windows Imaging Component decodes the
// first frame, converts it to 24bppBGR (already the Frame layout) and scales
// it bicubically when another size is asked for. COM is initialised on the
// calling thread by the application (GUI thread) or a MediaThreadScope.
#include "media/image_loader.h"

#include "media/frame.h"

#include <windows.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>

using Microsoft::WRL::ComPtr;

namespace {

// Rows copied at a time: 3 MB of the widest picture.
constexpr UINT kBandRows = 64;

IWICImagingFactory* factoryOf(void* handle)
{
    return static_cast<IWICImagingFactory*>(handle);
}

} // namespace

ImageLoader::ImageLoader() = default;

ImageLoader::~ImageLoader()
{
    Release();
    if (m_factory)
        factoryOf(m_factory)->Release();
}

bool ImageLoader::Initialize()
{
    if (m_factory)
        return true;
    IWICImagingFactory* factory = nullptr;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))))
        return false;
    m_factory = factory;
    return true;
}

bool ImageLoader::LoadImageW(const wchar_t* path, unsigned targetWidth, unsigned targetHeight)
{
    Release();
    IWICImagingFactory* factory = factoryOf(m_factory);
    if (!factory)
        return false;

    // Declared in creation order, so they are released scaler first, decoder last.
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    ComPtr<IWICBitmapScaler> scaler;

    if (FAILED(factory->CreateDecoderFromFilename(path, nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, &decoder)))
        return false;
    // Only the first frame of a multi-frame file (an animated gif) is used.
    if (FAILED(decoder->GetFrame(0, &frame)))
        return false;
    if (FAILED(factory->CreateFormatConverter(&converter))
        || FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone,
                                        nullptr, 0.0, WICBitmapPaletteTypeCustom)))
        return false;

    UINT naturalWidth = 0;
    UINT naturalHeight = 0;
    if (FAILED(converter->GetSize(&naturalWidth, &naturalHeight))) {
        naturalWidth = 0;
        naturalHeight = 0;
    }
    if (targetWidth == 0 || targetHeight == 0) {
        targetWidth = naturalWidth;
        targetHeight = naturalHeight;
    }

    IWICBitmapSource* source = converter.Get();
    if (naturalWidth != targetWidth || naturalHeight != targetHeight) {
        if (FAILED(factory->CreateBitmapScaler(&scaler))
            || FAILED(scaler->Initialize(converter.Get(), targetWidth, targetHeight,
                                         WICBitmapInterpolationModeCubic)))
            return false;
        source = scaler.Get();
    }

    const auto bytes = frameBytes(targetWidth, targetHeight);
    if (!bytes)
        return false;
    const UINT stride = targetWidth * 3;
    m_pixels.resize(*bytes);
    // In bands, so that a stop is heard while a large picture decodes.
    for (UINT top = 0; top < targetHeight; top += kBandRows) {
        const WICRect band{0, static_cast<INT>(top), static_cast<INT>(targetWidth),
                           static_cast<INT>(std::min(kBandRows, targetHeight - top))};
        if (stopRequested() || FAILED(source->CopyPixels(&band, stride, stride * static_cast<UINT>(band.Height),
                                                         m_pixels.data() + std::size_t{top} * stride))) {
            Release();
            return false;
        }
    }
    m_width = targetWidth;
    m_height = targetHeight;
    return true;
}
