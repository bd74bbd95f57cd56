#include "app/slider_draw_win.h"

namespace {

// A pen selected for one drawing and released right after: this runs on every repaint.
class ScopedPen {
public:
    ScopedPen(HDC dc, int width, COLORREF color) : dc_(dc), pen_(CreatePen(PS_SOLID, width, color)) {
        old_ = pen_ ? SelectObject(dc_, pen_) : nullptr;
    }
    ~ScopedPen() {
        if (old_) SelectObject(dc_, old_);
        if (pen_) DeleteObject(pen_);
    }
    ScopedPen(const ScopedPen&) = delete;
    ScopedPen& operator=(const ScopedPen&) = delete;

private:
    HDC dc_;
    HPEN pen_;
    HGDIOBJ old_ = nullptr;
};

void DrawItem(const NMCUSTOMDRAW& draw) {
    const RECT& r = draw.rc;
    switch (draw.dwItemSpec) {
    case TBCD_TICS: {
        ScopedPen pen(draw.hdc, 2, RGB(0, 0, 0));
        Rectangle(draw.hdc, r.left, r.top, r.right, r.bottom);
        break;
    }
    case TBCD_THUMB: {
        {
            ScopedPen outer(draw.hdc, 5, RGB(0, 150, 0));
            RoundRect(draw.hdc, r.left - 5, r.top + 8, r.right + 4, r.bottom - 9, 10, 10);
        }
        {
            ScopedPen inner(draw.hdc, 3, RGB(0, 100, 0));
            RoundRect(draw.hdc, r.left - 4, r.top + 9, r.right + 3, r.bottom - 10, 10, 10);
        }
        // The thumb is drawn beyond its item rectangle, so when it moves the whole slider
        // is painted once more to clear the old outline. Asking for that on every paint
        // would repaint the slider without end and keep a core busy.
        static RECT lastThumb = {};
        if (!EqualRect(&lastThumb, &r)) {
            lastThumb = r;
            InvalidateRect(draw.hdr.hwndFrom, nullptr, FALSE);
        }
        break;
    }
    case TBCD_CHANNEL: {
        ScopedPen pen(draw.hdc, 2, RGB(0, 100, 0));
        Rectangle(draw.hdc, r.left, r.top + 2, r.right + 5, r.bottom);
        break;
    }
    default: break;
    }
}

bool IsOwnItem(DWORD_PTR item) {
    return item == TBCD_TICS || item == TBCD_THUMB || item == TBCD_CHANNEL;
}

} // namespace

bool DrawPositionSlider(const NMCUSTOMDRAW& draw, LRESULT* answer) {
    if (draw.dwDrawStage == CDDS_PREPAINT) {
        *answer = CDRF_NOTIFYITEMDRAW;
        return true;
    }
    if (draw.dwDrawStage != CDDS_ITEMPREPAINT) return false;
    if (!IsOwnItem(draw.dwItemSpec)) {
        *answer = CDRF_DODEFAULT;
        return true;
    }
    // The rectangles are filled black, whatever brush the control left in the context.
    HGDIOBJ oldBrush = SelectObject(draw.hdc, GetStockObject(BLACK_BRUSH));
    DrawItem(draw);
    if (oldBrush) SelectObject(draw.hdc, oldBrush);
    *answer = CDRF_SKIPDEFAULT;
    return true;
}
