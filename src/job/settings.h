// "Settings.txt": skin, language and the file-type message switch.
#pragma once

namespace dd {

class App;

void SettingsLaden(App& app);
bool SettingsSpeichern(App& app);

}  // namespace dd
