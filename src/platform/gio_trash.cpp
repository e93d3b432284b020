#include "platform/gio_trash.h"

#include <dlfcn.h>
#include <gio/gio.h>

namespace dd {

namespace {

// GIO and the libraries it pulls in take longer to load than a small run
// takes: they are loaded at the first use of the trash, not at every start.
struct Gio {
  GFile* (*newForPath)(const char*) = nullptr;
  gboolean (*trash)(GFile*, GCancellable*, GError**) = nullptr;
  void (*unref)(gpointer) = nullptr;
  void (*errorFree)(GError*) = nullptr;

  bool Loaded() const { return newForPath && trash && unref && errorFree; }
};

template <class F>
void Take(void* library, const char* name, F& f) {
  f = reinterpret_cast<F>(::dlsym(library, name));
}

const Gio& LoadGio() {
  static const Gio gio = [] {
    Gio g;
    // Kept loaded for the life of the process.
    void* library = ::dlopen("libgio-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!library) return g;
    Take(library, "g_file_new_for_path", g.newForPath);
    Take(library, "g_file_trash", g.trash);
    Take(library, "g_object_unref", g.unref);
    Take(library, "g_error_free", g.errorFree);
    return g;
  }();
  return gio;
}

}  // namespace

bool GioTrash::MoveToTrash(const std::string& path) {
  const Gio& gio = LoadGio();
  if (!gio.Loaded()) return false;
  GFile* file = gio.newForPath(path.c_str());
  GError* error = nullptr;
  const bool ok = gio.trash(file, nullptr, &error);
  if (error) gio.errorFree(error);
  gio.unref(file);
  return ok;
}

}  // namespace dd
