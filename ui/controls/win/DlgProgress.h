#pragma once
// The modal window that covers the user interface while a profile is written to the mouse. One
// instance lives for the whole process; its window is created once, so the apply worker can post
// progress (message 1067) to a handle that stays the same.

#include <filesystem>
#include <memory>

#include "ui/controls/ProgressModel.h"
#include "ui/controls/win/PngHProgressBar.h"
#include "ui/controls/win/Window.h"

namespace n640::win {

class CDlgProgress : public CWindow {
public:
    CDlgProgress();
    ~CDlgProgress() override;
    // Creates the (hidden) window; the pictures are read from installDir\skins\ProgressBar.
    bool CreateOnce(const std::filesystem::path& installDir);
    // Runs modally over owner until the bar reaches 100 or Close is called.
    void Show(HWND owner);
    // Ends an open dialog (used when an apply fails before reaching 100).
    void Close();
    int Pos() const { return bar_.Pos(); }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool PreTranslate(MSG& msg) override;

private:
    void Paint(HDC dc);
    void LoadPictures();
    void ReleasePictures();

    std::filesystem::path installDir_;
    struct Pictures;
    std::unique_ptr<Pictures> pictures_;
    CPngHProgressBar bar_;
    CProgressModel model_;
};

} // namespace n640::win
