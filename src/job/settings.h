// "Settings.txt": skin, language and the file-type message switch.
#pragma once

namespace dd {

class App;

void LoadSettings(App& app);
// Writes the settings; says so in a box when they could not be written.
bool SaveSettings(App& app);

}  // namespace dd
