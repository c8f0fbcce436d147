#pragma once
// A canvas that draws nothing and remembers every operation with the state it was made in,
// so that tests can check the geometry and styles a drawer produced.
#include "platform/Canvas.h"

#include <string>
#include <vector>

namespace corvane {

class RecordingCanvas : public Canvas {
public:
    enum class Op { Line, Polyline, Polygon, Rectangle, FillRect, RoundRect, Ellipse, Text, Pixel, Picture };
    struct Record {
        Op op;
        std::vector<Point> pts;   // Line: from, to; Polyline/Polygon: points; boxes: two corners
        std::string text;
        PenState pen;
        BrushState brush;
        FontState font;
        BkMode bkMode;
        Colour bkColour;
        Colour textColour;
    };

    RecordingCanvas(int width, int height, int ppiX = 96, int ppiY = 96)
        : width_(width), height_(height), ppiX_(ppiX), ppiY_(ppiY) {}

    std::vector<Record> records;
    // Text metrics: fixed cell of charWidth x charHeight per byte.
    int charWidth = 8;
    int charHeight = 13;

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    int PixelsPerInchX() const override { return ppiX_; }
    int PixelsPerInchY() const override { return ppiY_; }

    void LineTo(int x, int y) override;
    void Polyline(const std::vector<Point>& pts) override;
    void Polygon(const std::vector<Point>& pts) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void FillRect(const Rect& r) override;
    void RoundRect(int x1, int y1, int x2, int y2, int cw, int ch) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void TextOut(int x, int y, const std::string& text) override;
    int TextWidth(const std::string& text) override { return charWidth * static_cast<int>(text.size()); }
    int TextHeight(const std::string&) override { return charHeight; }
    void SetPixel(int x, int y, Colour c) override;
    Colour GetPixel(int, int) const override { return 0; }
    std::unique_ptr<Picture> CopyPicture() const override;
    void DrawPicture(int x, int y, const Picture& picture) override;

    size_t Count(Op op) const;
    std::vector<const Record*> Of(Op op) const;

private:
    Record Make(Op op) const;
    int width_, height_, ppiX_, ppiY_;
};

} // namespace corvane
