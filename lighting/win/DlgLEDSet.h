#pragma once
// The lighting page: a table of controls over the lighting model. The page shows the model's view
// state and forwards button clicks, slider moves and presses on the colour wheel to it.

#include <optional>

#include "lighting/LightingModel.h"
#include "ui/controls/win/Page.h"

namespace n640 {
class CProfileStore;
}

namespace n640::win {

class CServices;

class CDlgLEDSet : public CPage {
public:
    // The page at the main window's page area, over the active profile of the services' store.
    bool CreatePage(CServices& services, HWND parent, HBITMAP mainSheet);
    // The main window shows the page: the sheets and rectangles of the interface language.
    void LoadControls();
    // RefreshLighting over the active profile, and every control shown accordingly.
    void Refresh();

    const CLightingModel* Model() const { return model_ ? &*model_ : nullptr; }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void SetUpControls();
    // The sheets of the interface language; true when they changed.
    bool UseLanguageSheets();
    void Show(bool sliderPositions = true);
    void OnWheelPress(int x, int y);
    LedColour ShownPixel(int x, int y);

    CProfileStore* store_ = nullptr;
    std::filesystem::path lightDir_;
    std::optional<CLightingModel> model_;
    std::optional<bool> sheetsChinese_;
    CBrushHandle fieldBrush_;
};

} // namespace n640::win
