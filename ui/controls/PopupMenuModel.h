#pragma once
// The item list of the PNG popup menu (the language menu): layout, the hovered item and what a
// release chooses. The layered window only paints what this lays out.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ui/controls/IrrShape.h"

namespace n640 {

struct PopupMenuItem {
    bool separator = false;
    uint32_t command = 0;
    int iconWidth = 0;
    int iconHeight = 0;
    std::u16string text;
    Rect rect;
};

class CPopupMenuModel {
public:
    static constexpr int kWidth = 116;

    void AddItem(uint32_t command, const std::u16string& text, int iconWidth, int iconHeight);
    void AddSeparator();
    const std::vector<PopupMenuItem>& Items() const { return items_; }
    int Width() const { return kWidth; }
    int Height() const { return height_; }

    // The non-separator item under a point of the window, -1 for none.
    int ItemAt(Point p) const;
    int Hovered() const { return hovered_; }
    // The pointer rested at p: true when the hovered item changed (the menu repaints).
    bool Hover(Point p);
    // The mouse button went up at p: the command of the hovered item when p is over it; elsewhere
    // the hover is cleared (changed tells whether to repaint).
    std::optional<uint32_t> Release(Point p, bool& changed);

    // Where an item's text and icon go.
    static Rect TextRect(const PopupMenuItem& item);
    static Rect IconRect(const PopupMenuItem& item);

private:
    void Layout();

    std::vector<PopupMenuItem> items_;
    int height_ = 9;
    int hovered_ = -1;
};

} // namespace n640
