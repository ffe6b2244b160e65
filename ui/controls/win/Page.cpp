#include "ui/controls/win/Page.h"

#include "i18n/UiLanguage.h"
#include "platform/Poster.h"
#include "ui/controls/win/ListBoxEx.h"
#include "ui/controls/win/PngHSlider.h"

namespace n640::win {

struct CPage::Entry {
    ControlRow row;
    std::unique_ptr<CGDIBitmapBtn> button;  // Button, Check, Radio and Colour rows
    std::unique_ptr<CBitmapEdit> edit;
    std::unique_ptr<CPngHSliderBar> slider;
    std::unique_ptr<CListBoxEx> list;

    HWND Window() const {
        if (button) return button->Hwnd();
        if (edit) return edit->Hwnd();
        if (slider) return slider->Hwnd();
        if (list) return list->OuterHwnd();
        return nullptr;
    }
};

CPage::CPage() = default;
CPage::~CPage() {
    // The controls go before the page's window (their destructors destroy their own windows).
    entries_.clear();
    Destroy();
}

bool CPage::CreatePage(HWND parent, const PageArgs& args) {
    args_ = args;
    return Create(args.exStyle, L"", args.style | WS_CHILD, args.rect.left, args.rect.top, args.rect.Width(),
                  args.rect.Height(), parent, args.id);
}

bool CPage::LoadSheets(const std::filesystem::path& normal, const std::filesystem::path& over,
                       const std::filesystem::path& down) {
    loaded_[0] = LoadSkinImage(normal);
    loaded_[1] = LoadSkinImage(over);
    loaded_[2] = LoadSkinImage(down);
    for (int i = 0; i < 3; ++i) sheets_[i] = loaded_[i].bitmap.Get();
    Invalidate();
    return loaded_[0] && loaded_[1] && loaded_[2];
}

void CPage::UseSheets(HBITMAP normal, HBITMAP over, HBITMAP down) {
    sheets_[0] = normal;
    sheets_[1] = over;
    sheets_[2] = down;
    Invalidate();
}

SkinSheets CPage::Sheets() const {
    SkinSheets s;
    s.normal = sheets_[0];
    s.hover = sheets_[1];
    s.pressed = sheets_[2];
    s.disabled = sheets_[0];
    return s;
}

void CPage::CreateControls(std::span<const ControlRow> table) {
    for (const ControlRow& row : table) {
        auto e = std::make_unique<Entry>();
        e->row = row;
        CreateOne(*e);
        entries_.push_back(std::move(e));
    }
}

void CPage::CreateOne(Entry& e) {
    const Rect r = LayoutRect(e.row, UiChinese());
    switch (e.row.kind) {
    case ControlKind::Button:
    case ControlKind::Check:
    case ControlKind::Radio:
    case ControlKind::Colour: {
        BitmapBtnArgs a;
        a.id = e.row.id;
        a.rect = r;
        a.checkMode = e.row.kind == ControlKind::Check || e.row.kind == ControlKind::Radio;
        a.toggleOnPress = e.row.kind == ControlKind::Check;
        a.tooltipKey = e.row.tooltip;
        if (e.row.kind == ControlKind::Colour) {
            e.button = std::make_unique<CColorBtn>();
        } else {
            e.button = std::make_unique<CGDIBitmapBtn>();
        }
        e.button->Create(Hwnd(), a);
        if (e.row.kind != ControlKind::Colour) e.button->SetSkin(r, Sheets());
        break;
    }
    case ControlKind::Edit: {
        BitmapEditArgs a;
        a.id = e.row.id;
        a.rect = r;
        e.edit = std::make_unique<CBitmapEdit>();
        e.edit->Create(Hwnd(), a);
        break;
    }
    case ControlKind::Slider: {
        SliderArgs a;
        a.id = e.row.id;
        a.rect = r;
        a.thumbPicture = args_.skinDir / L"Slider.png";
        a.background = sheets_[0];
        e.slider = std::make_unique<CPngHSliderBar>();
        e.slider->Create(Hwnd(), a);
        break;
    }
    case ControlKind::List: {
        ListBoxArgs a;
        a.id = e.row.id;
        a.rect = r;
        a.skinDir = args_.skinDir.parent_path();
        e.list = std::make_unique<CListBoxEx>();
        e.list->Create(Hwnd(), a);
        break;
    }
    case ControlKind::Area:
        break;
    }
}

void CPage::Relayout() {
    const bool chinese = UiChinese();
    for (auto& e : entries_) {
        const Rect r = LayoutRect(e->row, chinese);
        if (HWND w = e->Window()) {
            SetWindowPos(w, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        }
        if (e->button && e->row.kind != ControlKind::Colour) e->button->SetSkin(r, Sheets());
        if (e->slider) {
            const RECT rr{r.left, r.top, r.right, r.bottom};
            e->slider->SetTrackRect(rr);
            e->slider->SetBackground(rr, sheets_[0]);
        }
    }
    Invalidate();
}

CPage::Entry* CPage::Find(int id) {
    for (auto& e : entries_) {
        if (e->row.id == id) return e.get();
    }
    return nullptr;
}

const CPage::Entry* CPage::Find(int id) const {
    for (const auto& e : entries_) {
        if (e->row.id == id) return e.get();
    }
    return nullptr;
}

CGDIBitmapBtn& CPage::Button(int id) {
    static CGDIBitmapBtn none;
    Entry* e = Find(id);
    return e && e->button ? *e->button : none;
}

CColorBtn& CPage::Colour(int id) {
    static CColorBtn none;
    Entry* e = Find(id);
    auto* colour = e && e->button ? dynamic_cast<CColorBtn*>(e->button.get()) : nullptr;
    return colour ? *colour : none;
}

CBitmapEdit& CPage::Edit(int id) {
    static CBitmapEdit none;
    Entry* e = Find(id);
    return e && e->edit ? *e->edit : none;
}

CPngHSliderBar& CPage::Slider(int id) {
    static CPngHSliderBar none;
    Entry* e = Find(id);
    return e && e->slider ? *e->slider : none;
}

CListBoxEx& CPage::List(int id) {
    static CListBoxEx none;
    Entry* e = Find(id);
    return e && e->list ? *e->list : none;
}

HWND CPage::Item(int id) const {
    const Entry* e = Find(id);
    return e ? e->Window() : nullptr;
}

void CPage::SetHint(int id, int hint) {
    if (Entry* e = Find(id)) e->row.hint = hint;
}

void CPage::PostHints(Point p) {
    std::vector<HintArea> areas;
    areas.reserve(entries_.size());
    for (const auto& e : entries_) {
        if (e->row.hint == 0) continue;
        Rect r = LayoutRect(e->row, UiChinese());
        if (HWND w = e->Window()) {
            RECT wr;
            GetWindowRect(w, &wr);
            MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&wr), 2);
            r = {wr.left, wr.top, wr.right, wr.bottom};
        }
        areas.push_back({r, e->row.hint});
    }
    HWND target = args_.hintTarget ? args_.hintTarget : GetAncestor(Hwnd(), GA_ROOTOWNER);
    if (!target) return;
    for (int hint : HintsAt(areas, p)) PostMessageW(target, msg::ShowHint, 0, hint);
}

bool CPage::PreTranslate(MSG& m) {
    return keyFilter_ && IsDroppedPageKey(m.message, static_cast<uint32_t>(m.wParam));
}

void CPage::Paint(HDC dc) {
    PaintBuffered(dc, [this](HDC mem, const RECT& c) {
        BlitBitmap(mem, 0, 0, c.right, c.bottom, sheets_[0]);
        PaintOver(mem);
    });
}

LRESULT CPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (LRESULT painted = 0; PaintMessage(message, painted, [&](HDC dc) { Paint(dc); })) return painted;
    if (message == WM_MOUSEMOVE) {
        // Buttons post their moves here too, some in other coordinates: the pointer itself decides.
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(Hwnd(), &pt);
        PostHints({pt.x, pt.y});
        return 0;
    }
    if (message == WM_LBUTTONDOWN) {
        // A click on the page itself takes the focus, so an open editor on it is left (and commits).
        SetFocus(Hwnd());
        return 0;
    }
    return Default(message, wParam, lParam);
}

} // namespace n640::win
