#include "app/win/Pages.h"

#include "app/MainWindowModel.h"
#include "app/win/Services.h"
#include "config/ProfileStore.h"
#include "macro/MacroLibrary.h"
#include "ui/controls/win/SkinImage.h"

namespace n640::win {

bool CSkinPage::CreatePage(int templateId, HWND parent, HBITMAP background) {
    templateId_ = templateId;
    background_ = background;
    return Create(WS_EX_CONTROLPARENT, L"", WS_CHILD | WS_CLIPCHILDREN, kPageRect.left, kPageRect.top,
                  kPageRect.Width(), kPageRect.Height(), parent, templateId);
}

LRESULT CSkinPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (LRESULT painted = 0; PaintMessage(message, painted, [&](HDC dc) { BlitBitmap(dc, 0, 0, kPageRect.Width(), kPageRect.Height(), background_, kPageRect.left, kPageRect.top); }))
        return painted;
    switch (message) {
    default:
        return Default(message, wParam, lParam);
    }
}

bool CMainSetPage::CreatePage(CServices& services, HWND parent, HBITMAP /*mainSheet*/) {
    CProfileStore& store = services.Store();
    return CreateMainSetPage(MainSetPageArgs{.parent = parent, .rect = kPageRect, .installDir = services.InstallDir(),
                                             .profile = &store.Profile(), .assignments = &store.Assignments(),
                                             .macros = &services.Macros(), .notifier = &services.Notifier(),
                                             .hintTarget = parent});
}

bool CMacroPage::CreatePage(CServices& services, HWND parent, HBITMAP /*mainSheet*/) {
    CProfileStore& store = services.Store();
    const MacroPageServices page{services.InstallDir(), services.Macros(), services.Notifier(), services.Clock(),
                                 services.Poster(), [&store](uint32_t id) {
                                     return IsMacroInUse(id, store.Slots(), store.Profile(), store.Assignments());
                                 }};
    return CreateMacroPage(page, parent, kPageRect);
}

bool CStatsPage::CreatePage(CServices& services, HWND parent, HBITMAP /*mainSheet*/) {
    StatsPageArgs args;
    args.parent = parent;
    args.rect = kPageRect;
    args.installDir = services.InstallDir();
    args.dataDir = services.DataDir();
    args.hintTarget = parent;
    return CreateStatsPage(args, StatsPagePorts{services.Files(), services.Notifier(), services.Poster(), services.Lookup()});
}

} // namespace n640::win
