#pragma once
// The PNG slider: CPngHSliderBar, a track showing the part of the page picture behind it, and
// CPngHSlider, its draggable thumb, a shaped child window showing a PNG picture. Both post 2048
// (value, control id) to their owner; the track relays its thumb's messages with its own id.

#include <windows.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "ui/controls/IrrShape.h"
#include "ui/controls/SliderModel.h"
#include "ui/controls/win/Window.h"

namespace Gdiplus {
class Bitmap;
}

namespace n640::win {

class CPngHSlider : public CWindow {
public:
    CPngHSlider();
    ~CPngHSlider() override;
    // A thumb showing picture (taken over), travelling over [left, right) of owner's client area,
    // its top at y (or, with bottomLine, its bottom on y).
    bool Create(std::unique_ptr<Gdiplus::Bitmap> picture, HWND owner, int id, int left, int right, int y,
                bool bottomLine = false);
    CSliderModel& Model() { return model_; }
    const CSliderModel& Model() const { return model_; }
    void SetRange(int min, int max) { model_.SetRange(min, max); }
    void SetBounded(bool on) { model_.SetBounded(on); }
    void SetPos(int value);
    int Width() const { return width_; }
    int Height() const { return height_; }
    // What lies behind the thumb, in the owner's client coordinates (the track's background).
    void SetBackdrop(HBITMAP backdrop) { backdrop_ = backdrop; }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void MoveToModel();
    void Paint(HDC dc);
    void ApplyShape();

    std::unique_ptr<Gdiplus::Bitmap> picture_;
    CSliderModel model_;
    HWND owner_ = nullptr;
    HBITMAP backdrop_ = nullptr;
    int id_ = 0;
    int width_ = 0, height_ = 0;
    int y_ = 0;
    bool bottomLine_ = false;
};

struct SliderArgs {
    int id = 0;
    Rect rect{};                        // the track, in the parent's client coordinates
    std::filesystem::path thumbPicture{};  // InstallDir\skins\Slider.png
    int min = 1, max = 10;
    HBITMAP background = nullptr;       // page picture whose part under rect is the track
    std::function<void(int value)> onChange{};  // on every 2048 the parent receives from it
};

class CPngHSliderBar : public CWindow {
public:
    CPngHSliderBar();
    ~CPngHSliderBar() override;
    bool Create(HWND parent, const SliderArgs& args);
    bool Create(const std::filesystem::path& thumbPicture, const RECT& rect, HWND parent, int id);
    void SetTrackRect(const RECT& rect) { track_ = rect; }
    void SetRange(int min, int max);
    void SetBackground(const RECT& rect, HBITMAP pagePicture);
    void SetPos(int value);
    int GetPos() const { return thumb_.Model().Value(); }
    void Enable(bool on);
    bool Enabled() const { return thumb_.Model().Enabled(); }
    CPngHSlider& Thumb() { return thumb_; }
    int Id() const { return id_; }

    std::function<void(int value)> onChange;
    bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    CPngHSlider thumb_;
    std::filesystem::path thumbPicture_;
    RECT track_{};
    CBitmapHandle background_;
    int id_ = 0;
    int min_ = 1, max_ = 10;
};

} // namespace n640::win
