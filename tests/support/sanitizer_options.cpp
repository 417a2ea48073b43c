// Linked into every test of the sanitizer build. The browser engine frees
// some objects with a sized delete of another size inside its own code, and
// the system's libraries (Qt's and the engine's caches, fonts, GLib type
// registries) keep memory until the process ends; neither is ours to fix. A
// leak whose stack runs through those libraries is not reported; every
// other leak is.

extern "C" const char* __asan_default_options() { return "new_delete_type_mismatch=0"; }

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libQt6\n"
           "leak:libfontconfig\n"
           "leak:libfreetype\n"
           "leak:libglib-2.0\n"
           "leak:libgobject-2.0\n"
           "leak:libgio-2.0\n"
           "leak:libdbus-1\n"
           "leak:libxcb\n"
           "leak:libX11\n"
           "leak:libEGL\n"
           "leak:libGLX\n"
           "leak:libnss3\n"
           "leak:libgnutls\n";
}
