// The Simulate command.
#pragma once

namespace dd {

class App;

void Simulate(App& app);

}  // namespace dd
