#include "iconsets/win32/MenuPicture.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstring>

namespace trayhound {

namespace {

using Microsoft::WRL::ComPtr;

ComPtr<IWICImagingFactory> ImagingFactory() {
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&factory)))) {
        return nullptr;
    }
    return factory;
}

// Of two frame sizes, whether `candidate` suits the box better than `current`: the smallest one
// that fills the box, else the largest, since scaling down keeps more detail than scaling up.
bool SuitsBetter(UINT candidate, UINT current, UINT box) noexcept {
    const bool candidateFills = candidate >= box;
    const bool currentFills = current >= box;
    if (candidateFills != currentFills) return candidateFills;
    return candidateFills ? candidate < current : candidate > current;
}

// The frame to show of a file with several (an icon file's sizes).
ComPtr<IWICBitmapFrameDecode> BestFrame(IWICBitmapDecoder& decoder, int box) {
    UINT frames = 0;
    if (FAILED(decoder.GetFrameCount(&frames))) return nullptr;
    ComPtr<IWICBitmapFrameDecode> best;
    UINT bestSize = 0;
    for (UINT i = 0; i < frames; ++i) {
        ComPtr<IWICBitmapFrameDecode> frame;
        UINT width = 0;
        UINT height = 0;
        if (FAILED(decoder.GetFrame(i, &frame)) || FAILED(frame->GetSize(&width, &height))) {
            continue;
        }
        const UINT size = std::max(width, height);
        if (!best || SuitsBetter(size, bestSize, static_cast<UINT>(box))) {
            best = frame;
            bestSize = size;
        }
    }
    return best;
}

UniqueHbitmap EmptyPicture(int box, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = box;
    info.bmiHeader.biHeight = -box;  // top-down, like the rows WIC delivers
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return UniqueHbitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0));
}

UniqueHbitmap ToMenuPicture(IWICImagingFactory& factory, IWICBitmapSource& source, UINT dpi) {
    UINT width = 0;
    UINT height = 0;
    if (FAILED(source.GetSize(&width, &height)) || width == 0 || height == 0) return nullptr;

    ComPtr<IWICFormatConverter> converter;
    if (FAILED(factory.CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(&source, GUID_WICPixelFormat32bppPBGRA,
                                     WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom))) {
        return nullptr;
    }

    const int box = MenuPictureBox(dpi);
    const SIZE size = MenuPictureSize(width, height, dpi, box);
    ComPtr<IWICBitmapSource> pixels = converter;
    if (static_cast<UINT>(size.cx) != width || static_cast<UINT>(size.cy) != height) {
        ComPtr<IWICBitmapScaler> scaler;
        if (FAILED(factory.CreateBitmapScaler(&scaler)) ||
            FAILED(scaler->Initialize(converter.Get(), size.cx, size.cy,
                                      WICBitmapInterpolationModeFant))) {
            return nullptr;
        }
        pixels = scaler;
    }

    void* bits = nullptr;
    auto picture = EmptyPicture(box, &bits);
    if (!picture) return nullptr;
    const UINT stride = static_cast<UINT>(box) * 4;
    const UINT offset = static_cast<UINT>((box - size.cy) / 2) * stride +
                        static_cast<UINT>((box - size.cx) / 2) * 4;
    const UINT available = stride * static_cast<UINT>(box) - offset;
    GdiFlush();
    std::memset(bits, 0, stride * static_cast<UINT>(box));  // transparent around the picture
    if (FAILED(pixels->CopyPixels(nullptr, stride, available, static_cast<BYTE*>(bits) + offset))) {
        return nullptr;
    }
    return picture;
}

}  // namespace

int MenuPictureBox(UINT dpi) noexcept {
    return GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi);
}

SIZE MenuPictureSize(UINT width, UINT height, UINT dpi, int box) noexcept {
    int cx = MulDiv(static_cast<int>(width), static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
    int cy = MulDiv(static_cast<int>(height), static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
    if (cx > box || cy > box) {
        // Fit the longer side to the box and keep the proportions.
        if (cx >= cy) {
            cy = MulDiv(cy, box, cx);
            cx = box;
        } else {
            cx = MulDiv(cx, box, cy);
            cy = box;
        }
    }
    return SIZE{std::max(cx, 1), std::max(cy, 1)};
}

UniqueHbitmap LoadMenuPicture(const std::wstring& path, UINT dpi) {
    const auto factory = ImagingFactory();
    if (!factory) return nullptr;
    ComPtr<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, &decoder))) {
        return nullptr;
    }
    const auto frame = BestFrame(*decoder.Get(), MenuPictureBox(dpi));
    if (!frame) return nullptr;
    return ToMenuPicture(*factory.Get(), *frame.Get(), dpi);
}

UniqueHbitmap MenuPictureFromBitmap(HBITMAP bitmap, UINT dpi) {
    const auto factory = ImagingFactory();
    if (!factory || !bitmap) return nullptr;
    ComPtr<IWICBitmap> source;
    if (FAILED(factory->CreateBitmapFromHBITMAP(bitmap, nullptr, WICBitmapIgnoreAlpha, &source))) {
        return nullptr;
    }
    return ToMenuPicture(*factory.Get(), *source.Get(), dpi);
}

}  // namespace trayhound
