#include "window_rules/skins.h"

#include "common/app.h"

namespace dd {

void ChangeSkin(App& app, int skin) {
  if (skin < 0 || skin >= kSkinCount) return;
  app.settings.SkinNumber = skin;
  app.screen.SkinChanged(skin);
}

int FlashSkin(int skin) {
  return ((skin % kSkinCount) + kSkinCount + 1) % kSkinCount;
}

}  // namespace dd
