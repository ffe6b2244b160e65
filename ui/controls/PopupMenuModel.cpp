#include "ui/controls/PopupMenuModel.h"

namespace n640 {

void CPopupMenuModel::AddItem(uint32_t command, const std::u16string& text, int iconWidth, int iconHeight) {
    PopupMenuItem item;
    item.command = command;
    item.text = text;
    item.iconWidth = iconWidth;
    item.iconHeight = iconHeight;
    items_.push_back(std::move(item));
    Layout();
}

void CPopupMenuModel::AddSeparator() {
    PopupMenuItem item;
    item.separator = true;
    items_.push_back(std::move(item));
    Layout();
}

void CPopupMenuModel::Layout() {
    int y = 6;
    for (PopupMenuItem& item : items_) {
        if (item.separator) {
            item.rect = {32, y + 2, 110, y + 3};
            y += 4;
        } else {
            item.rect = {6, y, 110, y + 22};
            y += 22;
        }
    }
    height_ = y + 3;
}

int CPopupMenuModel::ItemAt(Point p) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        if (!items_[i].separator && items_[i].rect.Contains(p)) return static_cast<int>(i);
    }
    return -1;
}

bool CPopupMenuModel::Hover(Point p) {
    const int at = ItemAt(p);
    if (at == hovered_) return false;
    hovered_ = at;
    return true;
}

std::optional<uint32_t> CPopupMenuModel::Release(Point p, bool& changed) {
    changed = false;
    if (hovered_ >= 0 && ItemAt(p) == hovered_) return items_[static_cast<size_t>(hovered_)].command;
    if (hovered_ != -1) {
        hovered_ = -1;
        changed = true;
    }
    return std::nullopt;
}

Rect CPopupMenuModel::TextRect(const PopupMenuItem& item) {
    return {item.rect.left + 30, item.rect.top, item.rect.left + 112, item.rect.bottom};
}

Rect CPopupMenuModel::IconRect(const PopupMenuItem& item) {
    const int x = item.rect.left + (25 - item.iconWidth) / 2;
    const int y = item.rect.top + (item.rect.Height() - item.iconHeight) / 2;
    return {x, y, x + item.iconWidth, y + item.iconHeight};
}

} // namespace n640
