// Bitmaps selected into memory device contexts, the surfaces SDKDraw is given
// on Windows: a device-dependent bitmap (drawn pixel by pixel through GDI)
// and DIB sections of 32 bits (drawn into directly) or 24 bits.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace wincheck {

enum class BitmapKind { DeviceDependent, Dib32TopDown, Dib32BottomUp, Dib32Bitfields, Dib24 };

class Bitmap {
public:
    Bitmap(BitmapKind kind, int width, int height) : width_(width), height_(height) {
        dc_ = CreateCompatibleDC(nullptr);
        if (kind == BitmapKind::DeviceDependent) {
            HDC screen = GetDC(nullptr);
            bitmap_ = CreateCompatibleBitmap(screen, width, height);
            ReleaseDC(nullptr, screen);
        } else {
            struct {
                BITMAPINFOHEADER header;
                DWORD masks[3];
            } info{};
            info.header.biSize = sizeof info.header;
            info.header.biWidth = width;
            info.header.biHeight = kind == BitmapKind::Dib32BottomUp ? height : -height;
            info.header.biPlanes = 1;
            info.header.biBitCount = kind == BitmapKind::Dib24 ? 24 : 32;
            info.header.biCompression = BI_RGB;
            if (kind == BitmapKind::Dib32Bitfields) {
                info.header.biCompression = BI_BITFIELDS;
                info.masks[0] = 0xFF0000;
                info.masks[1] = 0xFF00;
                info.masks[2] = 0xFF;
            }
            void *bits = nullptr;
            bitmap_ = CreateDIBSection(dc_, reinterpret_cast<BITMAPINFO *>(&info), DIB_RGB_COLORS,
                                       &bits, nullptr, 0);
        }
        old_ = SelectObject(dc_, bitmap_);
        Fill(RGB(255, 255, 255));
    }
    ~Bitmap() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Bitmap(const Bitmap &) = delete;
    Bitmap &operator=(const Bitmap &) = delete;

    bool Valid() const { return dc_ != nullptr && bitmap_ != nullptr; }
    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    int width() const { return width_; }
    int height() const { return height_; }

    void Fill(COLORREF colour) {
        HBRUSH brush = CreateSolidBrush(colour);
        const RECT all{0, 0, width_, height_};
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }

    // The pixel's colour as 0x00RRGGBB, through GDI (device coordinates).
    uint32_t Rgb(int x, int y) const {
        const COLORREF c = GetPixel(dc_, x, y);
        return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    }

    // Every pixel as a 32-bit word, top row first, as GDI reports them.
    std::vector<uint32_t> Words() const {
        std::vector<uint32_t> words(static_cast<size_t>(width_) * height_);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        GdiFlush();
        // GetDIBits wants the bitmap out of any device context.
        SelectObject(dc_, old_);
        GetDIBits(dc_, bitmap_, 0, static_cast<UINT>(height_), words.data(), &info, DIB_RGB_COLORS);
        SelectObject(dc_, bitmap_);
        return words;
    }

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

} // namespace wincheck
