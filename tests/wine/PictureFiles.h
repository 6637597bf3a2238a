#pragma once

#include <windows.h>

#include <wincodec.h>
#include <wrl/client.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/Error.h"

namespace trayhound::test {

// A solid colour, as 32-bit BGRA.
struct Bgra {
    std::uint8_t b = 0;
    std::uint8_t g = 0;
    std::uint8_t r = 0;
    std::uint8_t a = 255;
};

// A 24-bit bottom-up BMP file of one colour, written byte by byte.
inline void WriteBmp(const std::filesystem::path& path, int width, int height, Bgra colour) {
    const int rowBytes = (width * 3 + 3) & ~3;
    const std::uint32_t pixelBytes = static_cast<std::uint32_t>(rowBytes * height);
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + pixelBytes;
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = pixelBytes;
    std::vector<char> pixels(pixelBytes);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            char* pixel = &pixels[static_cast<std::size_t>(y * rowBytes + x * 3)];
            pixel[0] = static_cast<char>(colour.b);
            pixel[1] = static_cast<char>(colour.g);
            pixel[2] = static_cast<char>(colour.r);
        }
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&info), sizeof(info));
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    if (!out) throw Error(error_number::kPathFileAccessError, "Cannot write the test BMP.");
}

// A 32-bit PNG file of one colour with alpha, written through the system's PNG encoder.
inline void WritePng(const std::filesystem::path& path, UINT width, UINT height, Bgra colour) {
    using Microsoft::WRL::ComPtr;
    const auto check = [](HRESULT result) {
        if (FAILED(result)) {
            throw Error(static_cast<int>(result), "Cannot write the test PNG.");
        }
    };
    ComPtr<IWICImagingFactory> factory;
    check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                           IID_PPV_ARGS(&factory)));
    ComPtr<IWICStream> stream;
    check(factory->CreateStream(&stream));
    check(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE));
    ComPtr<IWICBitmapEncoder> encoder;
    check(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder));
    check(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache));
    ComPtr<IWICBitmapFrameEncode> frame;
    check(encoder->CreateNewFrame(&frame, nullptr));
    check(frame->Initialize(nullptr));
    check(frame->SetSize(width, height));
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    check(frame->SetPixelFormat(&format));
    if (format != GUID_WICPixelFormat32bppBGRA) check(E_FAIL);
    std::vector<Bgra> pixels(static_cast<std::size_t>(width) * height, colour);
    check(frame->WritePixels(height, width * 4, static_cast<UINT>(pixels.size() * 4),
                             reinterpret_cast<BYTE*>(pixels.data())));
    check(frame->Commit());
    check(encoder->Commit());
}

// What a menu picture holds: its size, depth and one pixel.
struct PictureFacts {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    bool isDibSection = false;
    Bgra centre;
};

inline PictureFacts FactsOf(HBITMAP bitmap) {
    PictureFacts facts;
    DIBSECTION section{};
    const int size = GetObjectW(bitmap, sizeof(section), &section);
    facts.width = section.dsBm.bmWidth;
    facts.height = section.dsBm.bmHeight;
    facts.bitsPerPixel = section.dsBm.bmBitsPixel;
    facts.isDibSection = size == sizeof(DIBSECTION) && section.dsBm.bmBits != nullptr;
    if (facts.isDibSection && facts.bitsPerPixel == 32) {
        GdiFlush();
        const auto* row = static_cast<const std::uint8_t*>(section.dsBm.bmBits) +
                          static_cast<std::size_t>(section.dsBm.bmWidthBytes) * (facts.height / 2);
        const auto* pixel = row + 4 * (facts.width / 2);
        facts.centre = {pixel[0], pixel[1], pixel[2], pixel[3]};
    }
    return facts;
}

}  // namespace trayhound::test
