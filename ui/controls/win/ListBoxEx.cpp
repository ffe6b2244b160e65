#include "ui/controls/win/ListBoxEx.h"

#include <objidl.h>
#include <gdiplus.h>

#include <array>

#include "platform/Directories.h"
#include "platform/Poster.h"
#include "ui/controls/ListModel.h"
#include "ui/controls/win/SkinImage.h"

namespace n640::win {
namespace {

constexpr wchar_t kEditorProp[] = L"N640.ListEditor";
CListBoxEx* g_editing = nullptr;  // the list whose rename editor is open
constexpr int kScrollStripBitmap = 166;

} // namespace

// The six kind pictures, read once from their files.
struct CListBoxEx::Pictures {
    std::array<std::unique_ptr<Gdiplus::Bitmap>, 6> images;
    std::array<bool, 6> tried{};
};

CListBoxEx::CListBoxEx()
    : selectedBackground_(GetSysColor(COLOR_HIGHLIGHT)),
      textColour_(GetSysColor(COLOR_WINDOWTEXT)),
      selectedTextColour_(GetSysColor(COLOR_HIGHLIGHTTEXT)),
      pictures_(std::make_unique<Pictures>()) {}

CListBoxEx::~CListBoxEx() {
    CloseEditor();
    scroll_.reset();  // the list back at its place before it goes
    DetachReflection();
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

bool CListBoxEx::Create(HWND parent, const ListBoxArgs& a) {
    id_ = a.id;
    renameOn_ = a.rename;
    onSelChange = a.onSelChange;
    onRenamed = a.onRenamed;
    skinDir_ = a.skinDir.empty() ? ExecutableDir() : a.skinDir;
    notifyTarget_ = parent;
    const DWORD style = a.style | WS_CHILD | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    hwnd_ = CreateWindowExW(0, L"LISTBOX", L"", style, a.rect.left, a.rect.top, a.rect.Width(), a.rect.Height(), parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(a.id)), GetModuleHandleW(nullptr), nullptr);
    if (!hwnd_) return false;
    AttachReflection(hwnd_);
    font_.Reset(SkinFont(14, 400));
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    SendMessageW(hwnd_, LB_SETITEMHEIGHT, 0, itemHeight_);
    bars_ = ((a.style & WS_VSCROLL) ? kSkinVertical : 0) | ((a.style & WS_HSCROLL) ? kSkinHorizontal : 0);
    if (a.skinScroll) SkinScroll(SharedResourceBitmap(kScrollStripBitmap));
    return true;
}

HWND CListBoxEx::OuterHwnd() const { return scroll_ && scroll_->Hwnd() ? scroll_->Hwnd() : hwnd_; }

void CListBoxEx::SkinScroll(HBITMAP strip) {
    if (!hwnd_ || scroll_ || !strip) return;
    scroll_ = SkinWndScroll(hwnd_, strip, bars_);
}

void CListBoxEx::SetBackground(COLORREF colour, COLORREF selectedColour) {
    background_.Reset(CreateSolidBrush(colour));
    selectedBackground_ = selectedColour;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void CListBoxEx::SetTextColours(COLORREF colour, COLORREF selectedColour) {
    textColour_ = colour;
    selectedTextColour_ = selectedColour;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void CListBoxEx::SetItemHeight(int height) {
    itemHeight_ = height;
    if (hwnd_) {
        SendMessageW(hwnd_, LB_SETITEMHEIGHT, 0, height);
        InvalidateRect(hwnd_, nullptr, TRUE);
    }
}

int CListBoxEx::AddItem(uint32_t kind, const std::u16string& text, uint32_t value, bool rename) {
    CloseEditor();
    if (!hwnd_) return -1;
    const int index = static_cast<int>(SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(text))));
    if (index < 0) return index;
    iconsOn_ = ListIconsOnAfterAdd(kind);
    SendMessageW(hwnd_, LB_SETITEMDATA, index, ListDataWord(kind, value));
    SendMessageW(hwnd_, LB_SETCURSEL, index, 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
    if (rename) OpenEditor(index);
    return index;
}

void CListBoxEx::InsertItem(int index, uint32_t kind, const std::u16string& text, uint32_t value) {
    if (!hwnd_) return;
    const int at = static_cast<int>(SendMessageW(hwnd_, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(W(text))));
    if (at < 0) return;
    SendMessageW(hwnd_, LB_SETITEMDATA, at, ListDataWord(kind, value));
    SendMessageW(hwnd_, LB_SETCURSEL, at, 0);
}

void CListBoxEx::ReplaceItem(int index, uint32_t kind, const std::u16string& text, uint32_t value) {
    if (!hwnd_ || index < 0 || index >= GetCount()) return;
    SendMessageW(hwnd_, LB_DELETESTRING, index, 0);
    InsertItem(index, kind, text, value);
}

void CListBoxEx::DeleteItem(int index) {
    if (hwnd_) SendMessageW(hwnd_, LB_DELETESTRING, index, 0);
}

void CListBoxEx::ResetContent() {
    CloseEditor();
    if (hwnd_) SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
}

int CListBoxEx::GetCurSel() const { return hwnd_ ? static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0)) : -1; }
void CListBoxEx::SetCurSel(int index) {
    if (hwnd_) SendMessageW(hwnd_, LB_SETCURSEL, index, 0);
}
int CListBoxEx::GetCount() const { return hwnd_ ? static_cast<int>(SendMessageW(hwnd_, LB_GETCOUNT, 0, 0)) : 0; }

uint32_t CListBoxEx::GetItemData(int index) const {
    if (!hwnd_) return 0;
    return static_cast<uint32_t>(SendMessageW(hwnd_, LB_GETITEMDATA, index, 0));
}

std::u16string CListBoxEx::GetText(int index) const {
    if (!hwnd_) return {};
    const LRESULT n = SendMessageW(hwnd_, LB_GETTEXTLEN, index, 0);
    if (n == LB_ERR) return {};
    std::u16string text(static_cast<size_t>(n) + 1, u'\0');
    const LRESULT got = SendMessageW(hwnd_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

void CListBoxEx::Notify(UINT message, int index) {
    HWND target = notifyTarget_ ? notifyTarget_ : GetParent(hwnd_);
    PostMessageW(target, message, static_cast<WPARAM>(id_), index);
}

void CListBoxEx::OpenEditor(int index) {
    if (!hwnd_ || index < 0 || index >= GetCount()) return;
    if (g_editing) g_editing->CloseEditor();
    RECT r;
    if (SendMessageW(hwnd_, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r)) == LB_ERR) return;
    HWND parent = GetParent(hwnd_);
    MapWindowPoints(hwnd_, parent, reinterpret_cast<POINT*>(&r), 2);
    const std::u16string text = GetText(index);
    editor_ = CreateWindowExW(0, L"EDIT", W(text), WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, r.left, r.top,
                              r.right - r.left, r.bottom - r.top, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!editor_) return;
    editIndex_ = index;
    g_editing = this;
    SetPropW(editor_, kEditorProp, this);
    editorProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(editor_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CListBoxEx::EditorProc)));
    SetWindowPos(editor_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SendMessageW(editor_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
    SendMessageW(editor_, EM_LIMITTEXT, kRenameLimit, 0);
    SendMessageW(editor_, EM_SETSEL, 0, -1);
    SetFocus(editor_);
}

void CListBoxEx::CloseEditor() {
    if (!editor_) return;
    closing_ = true;  // the focus it loses on the way out must not commit
    HWND editor = editor_;
    editor_ = nullptr;
    editIndex_ = -1;
    if (g_editing == this) g_editing = nullptr;
    DestroyWindow(editor);
    closing_ = false;
}

void CListBoxEx::CommitEditor() {
    if (!editor_) return;
    const int index = editIndex_;
    const int n = GetWindowTextLengthW(editor_);
    std::u16string text(static_cast<size_t>(n) + 1, u'\0');
    const int got = GetWindowTextW(editor_, reinterpret_cast<wchar_t*>(text.data()), n + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    CloseEditor();
    if (index < 0 || index >= GetCount()) return;
    const LRESULT data = SendMessageW(hwnd_, LB_GETITEMDATA, index, 0);
    SendMessageW(hwnd_, LB_DELETESTRING, index, 0);
    SendMessageW(hwnd_, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(W(text)));
    SendMessageW(hwnd_, LB_SETITEMDATA, index, data);
    SendMessageW(hwnd_, LB_SETCURSEL, index, 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
    Notify(msg::ListNameEdited, index);
}

void CListBoxEx::CancelEditor() {
    if (!editor_) return;
    const int index = editIndex_;
    CloseEditor();
    SendMessageW(hwnd_, LB_SETCURSEL, index, 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

LRESULT CALLBACK CListBoxEx::EditorProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<CListBoxEx*>(GetPropW(hwnd, kEditorProp));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    const WNDPROC original = self->editorProc_;
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | CallWindowProcW(original, hwnd, message, wParam, lParam);
    case WM_CHAR:
        if (wParam == VK_RETURN || wParam == VK_ESCAPE) return 0;  // no beep
        break;
    case WM_KEYUP:
        if (wParam == VK_RETURN && self->editor_ == hwnd) {
            self->CommitEditor();
            return 0;
        }
        if (wParam == VK_ESCAPE && self->editor_ == hwnd) {
            self->CancelEditor();
            return 0;
        }
        break;
    case WM_KILLFOCUS:
        if (!self->closing_ && self->editor_ == hwnd) {
            self->CommitEditor();
            return 0;
        }
        break;
    case WM_NCDESTROY:
        RemovePropW(hwnd, kEditorProp);
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        return CallWindowProcW(original, hwnd, message, wParam, lParam);
    default:
        break;
    }
    return CallWindowProcW(original, hwnd, message, wParam, lParam);
}

bool CListBoxEx::OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_DRAWITEM:
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        result = TRUE;
        return true;
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(itemHeight_);
        result = TRUE;
        return true;
    case WM_CTLCOLORLISTBOX:
        if (!background_) return false;
        result = reinterpret_cast<LRESULT>(background_.Get());
        return true;
    case WM_COMMAND:
        if (HIWORD(wParam) == LBN_SELCHANGE) {
            Notify(msg::ListSelChanged, GetCurSel());
        } else if (HIWORD(wParam) == LBN_DBLCLK) {
            if (renameOn_ && !g_editing) {
                POINT pt;
                GetCursorPos(&pt);
                ScreenToClient(hwnd_, &pt);
                const LRESULT hit = SendMessageW(hwnd_, LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x, pt.y));
                // The high word is set when the point lies outside every entry.
                if (HIWORD(hit) == 0) OpenEditor(LOWORD(hit));
            }
        } else {
            return false;
        }
        result = 0;
        return true;
    case msg::ListSelChanged:
        if (!onSelChange) return false;
        onSelChange(static_cast<int>(lParam));
        result = 0;
        return true;
    case msg::ListNameEdited:
        if (!onRenamed) return false;
        onRenamed(static_cast<int>(lParam));
        result = 0;
        return true;
    default:
        return false;
    }
}

void CListBoxEx::DrawItem(const DRAWITEMSTRUCT& dis) {
    if (dis.itemID == static_cast<UINT>(-1)) return;
    HDC dc = dis.hDC;
    RECT r = dis.rcItem;
    const bool selected = (dis.itemState & ODS_SELECTED) != 0;
    if (selected) {
        CBrushHandle fill(CreateSolidBrush(selectedBackground_));
        FillRect(dc, &r, fill.Get());
    } else if (dis.itemAction & ODA_SELECT) {
        if (background_) {
            FillRect(dc, &r, background_.Get());
        } else {
            FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
        }
    }
    COLORREF text = selected ? selectedTextColour_ : textColour_;
    if (dis.itemState & ODS_DISABLED) text = GetSysColor(COLOR_BTNSHADOW);
    const uint32_t data = static_cast<uint32_t>(dis.itemData);
    const uint32_t kind = ListKindOf(data);
    if (iconsOn_ && kind >= 2 && kind <= 4) {
        const size_t slot = (kind - 2) * 2 + (selected ? 1 : 0);
        if (!pictures_->tried[slot]) {
            pictures_->tried[slot] = true;
            const std::filesystem::path file = skinDir_ / L"skins" / std::wstring(reinterpret_cast<const wchar_t*>(
                                                                        ListKindPicture(kind, selected).data()),
                                                                    ListKindPicture(kind, selected).size());
            pictures_->images[slot].reset(Gdiplus::Bitmap::FromFile(file.c_str()));
            if (pictures_->images[slot] && pictures_->images[slot]->GetLastStatus() != Gdiplus::Ok) {
                pictures_->images[slot].reset();
            }
        }
        if (Gdiplus::Bitmap* picture = pictures_->images[slot].get()) {
            Gdiplus::Graphics g(dc);
            g.DrawImage(picture, static_cast<INT>(r.left + 5), static_cast<INT>(r.top + 1), iconWidth_, iconHeight_);
        }
    }
    const int len = static_cast<int>(SendMessageW(dis.hwndItem, LB_GETTEXTLEN, dis.itemID, 0));
    std::wstring buffer(len > 0 ? static_cast<size_t>(len) + 1 : 1, L'\0');
    if (len > 0) SendMessageW(dis.hwndItem, LB_GETTEXT, dis.itemID, reinterpret_cast<LPARAM>(buffer.data()));
    RECT tr = r;
    tr.left += ListTextLeft(data, iconsOn_, iconWidth_);
    HGDIOBJ old = SelectObject(dc, font_.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, text);
    DrawTextW(dc, buffer.c_str(), len > 0 ? len : 0, &tr, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS);
    SelectObject(dc, old);
}

} // namespace n640::win
