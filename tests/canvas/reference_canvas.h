// A canvas class whose block-path operations run their shared_canvas per-pixel
// reference instead, so that whatever they call on the canvas runs it too.
#pragma once

#include <windows.h>

#include <algorithm>
#include <type_traits>

#include "canvas/canvas.h"
#include "canvas/ddb_canvas.h"
#include "canvas/dib_canvas.h"
#include "canvas/dib_section_canvas.h"

template <typename Base>
class ReferenceCanvas : public Base {
public:
    using Base::Base;
    using Base::DrawTo;

    bool CopyFrom(const Canvas* source) override {
        if (source == static_cast<const Canvas*>(this)) return Base::CopyFrom(source);
        return shared_canvas::CopyFrom(*this, source);
    }
    bool Create(int width, int height, Rgb fill) override {
        if (!Base::Create(width, height, fill)) return false;
        if constexpr (std::is_base_of_v<PixelBuffer, Base>) {
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) this->SetRawPixel(x, y, fill);
        } else {
            shared_canvas::FillDCByPixels(this->GetDeviceContext(), width, height, fill);
        }
        return true;
    }
    bool SaveBmp(const char* path) const override { return shared_canvas::SaveBmp(*this, path); }
    bool PutDib24(int x, int y, int width, int height, const uint8_t* rows) override {
        return shared_canvas::PutDib24(*this, x, y, width, height, rows);
    }
    bool DrawRectTo(Canvas* target, int x, int y, int width, int height) const override {
        return shared_canvas::DrawRectTo(*this, target, x, y, width, height);
    }
    bool DrawTo(Canvas* target, int x, int y) const override {
        return shared_canvas::DrawTo(*this, target, x, y);
    }
    bool DrawTo(PixelBuffer* target, int x, int y) const override {
        if constexpr (std::is_base_of_v<PixelBuffer, Base>) {
            return shared_canvas::CopyRowsTo(*this, target, x, y);
        } else {
            return Base::DrawTo(target, x, y);
        }
    }
    bool DrawToDC(HDC dc, int x, int y) const override {
        if (this->GetTransparentColor() == NO_TRANSPARENT_COLOR) return Base::DrawToDC(dc, x, y);
        return shared_canvas::DrawKeyedToDC(*this, dc, x, y, this->GetWidth(), this->GetHeight());
    }
    bool DrawRectToDC(HDC dc, int x, int y, int width, int height) const override {
        if (this->GetTransparentColor() == NO_TRANSPARENT_COLOR || width < 1 || height < 1) {
            return Base::DrawRectToDC(dc, x, y, width, height);
        }
        return shared_canvas::DrawKeyedToDC(*this, dc, x, y, std::min(width, this->GetWidth()),
                                            std::min(height, this->GetHeight()));
    }
    bool FillBox(int left, int top, int right, int bottom, Rgb colour) override {
        return shared_canvas::FillBox(*this, left, top, right, bottom, colour);
    }
    Canvas* CopyRect(int x, int y, int width, int height) const override {
        return shared_canvas::CopyRect(*this, x, y, width, height);
    }
};
