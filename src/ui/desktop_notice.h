// The desktop's side of a run's end: a notification and the taskbar entry's
// progress, both over the session bus and both skipped without a word when the
// bus or the service is missing.
#pragma once

#include <QDBusConnection>

#include "window_rules/run_end_notice.h"

namespace dd::ui {

// Sends `notice` to org.freedesktop.Notifications on `bus`, without waiting for
// the answer. False when the bus or the service is not there.
bool SendDesktopNotice(const QDBusConnection& bus, const DesktopNotice& notice);

// The progress (0..1) of the program's taskbar entry, hidden when not `visible`;
// `urgent` asks the dock to draw attention to it.
void ShowTaskbarProgress(const QDBusConnection& bus, double progress, bool visible, bool urgent = false);

}  // namespace dd::ui
