#include "platform/gio_trash.h"

#include <gio/gio.h>

namespace dd {

bool GioTrash::MoveToTrash(const std::string& path) {
  GFile* file = g_file_new_for_path(path.c_str());
  GError* error = nullptr;
  const bool ok = g_file_trash(file, nullptr, &error);
  if (error) g_error_free(error);
  g_object_unref(file);
  return ok;
}

}  // namespace dd
