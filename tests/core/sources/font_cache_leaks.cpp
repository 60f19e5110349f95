// Fontconfig keeps its font patterns for the life of the process and never frees
// them at exit; the leak checker would report them after every test that draws text.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
