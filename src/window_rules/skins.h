// The skin menu: which skin folder a menu entry loads and which one a flash shows.
#pragma once

namespace dd {

class App;

// Entries of the skin menu ("Skin 1" .. "Skin 4"), one per skin folder Skin0 .. Skin3.
inline constexpr int kSkinCount = 4;

// Chooses skin n: remembers the number and lets the screen reload every picture.
// A number outside the menu is ignored.
void ChangeSkin(App& app, int skin);

// The skin whose backgrounds FlashBackground shows: the next entry, after the last the first.
int FlashSkin(int skin);

}  // namespace dd
