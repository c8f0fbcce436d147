#include "platform/RecordingCanvas.h"

namespace corvane {

namespace {
class RecordedPicture : public Picture {
public:
    RecordedPicture(int w, int h) : w_(w), h_(h) {}
    int Width() const override { return w_; }
    int Height() const override { return h_; }

private:
    int w_, h_;
};
} // namespace

RecordingCanvas::Record RecordingCanvas::Make(Op op) const
{
    return Record{op, {}, {}, pen, brush, font, bkMode, bkColour, textColour};
}

void RecordingCanvas::LineTo(int x, int y)
{
    Record r = Make(Op::Line);
    r.pts = {penPos_, {x, y}};
    records.push_back(std::move(r));
    penPos_ = {x, y};
}

void RecordingCanvas::Polyline(const std::vector<Point>& pts)
{
    Record r = Make(Op::Polyline);
    r.pts = pts;
    records.push_back(std::move(r));
}

void RecordingCanvas::Polygon(const std::vector<Point>& pts)
{
    Record r = Make(Op::Polygon);
    r.pts = pts;
    records.push_back(std::move(r));
}

void RecordingCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    Record r = Make(Op::Rectangle);
    r.pts = {{x1, y1}, {x2, y2}};
    records.push_back(std::move(r));
}

void RecordingCanvas::FillRect(const Rect& rc)
{
    Record r = Make(Op::FillRect);
    r.pts = {{rc.left, rc.top}, {rc.right, rc.bottom}};
    records.push_back(std::move(r));
}

void RecordingCanvas::RoundRect(int x1, int y1, int x2, int y2, int cw, int ch)
{
    Record r = Make(Op::RoundRect);
    r.pts = {{x1, y1}, {x2, y2}, {cw, ch}};
    records.push_back(std::move(r));
}

void RecordingCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    Record r = Make(Op::Ellipse);
    r.pts = {{x1, y1}, {x2, y2}};
    records.push_back(std::move(r));
}

void RecordingCanvas::TextOut(int x, int y, const std::string& text)
{
    Record r = Make(Op::Text);
    r.pts = {{x, y}};
    r.text = text;
    records.push_back(std::move(r));
    penPos_ = {x + TextWidth(text), y};
}

void RecordingCanvas::SetPixel(int x, int y, Colour c)
{
    Record r = Make(Op::Pixel);
    r.pts = {{x, y}};
    r.pen.colour = c;
    records.push_back(std::move(r));
}

std::unique_ptr<Picture> RecordingCanvas::CopyPicture() const
{
    return std::make_unique<RecordedPicture>(width_, height_);
}

void RecordingCanvas::DrawPicture(int x, int y, const Picture&)
{
    Record r = Make(Op::Picture);
    r.pts = {{x, y}};
    records.push_back(std::move(r));
}

size_t RecordingCanvas::Count(Op op) const
{
    size_t n = 0;
    for (const Record& r : records)
        if (r.op == op) ++n;
    return n;
}

std::vector<const RecordingCanvas::Record*> RecordingCanvas::Of(Op op) const
{
    std::vector<const Record*> out;
    for (const Record& r : records)
        if (r.op == op) out.push_back(&r);
    return out;
}

} // namespace corvane
