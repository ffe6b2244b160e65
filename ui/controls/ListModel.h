#pragma once
// Rules of the skinned list box without its window: the entry data word that carries a kind,
// the picture a kind shows, where an entry's text starts, and the pictures switch.

#include <cstdint>
#include <string_view>

namespace n640 {

// Kind 1..255: kind * 2^24 + (value mod 2^24); kind 0: the value itself.
uint32_t ListDataWord(uint32_t kind, uint32_t value);
inline uint32_t ListKindOf(uint32_t dataWord) { return dataWord >> 24; }

// The picture file of a kind (2 up, 3 down, 4 delay), normal or selected; empty for other kinds.
std::u16string_view ListKindPicture(uint32_t kind, bool selected);

// Left edge of an entry's text: 5, or iconWidth + 10 when pictures are on and the entry has a
// kind (even one without a picture).
int ListTextLeft(uint32_t dataWord, bool iconsOn, int iconWidth);

// Every add switches pictures on for a kind and off for kind 0.
inline bool ListIconsOnAfterAdd(uint32_t kind) { return kind != 0; }

constexpr int kRenameLimit = 20;  // characters of the rename editor

} // namespace n640
