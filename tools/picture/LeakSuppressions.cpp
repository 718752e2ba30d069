// Under LeakSanitizer: fontconfig keeps its configuration for the life of the process (the
// editor never calls FcFini, which would pull it from under other plug-ins in the host),
// and its configuration parser loses a few bytes of its own. Neither is ours to free.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TAMBORELLE_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define TAMBORELLE_ASAN 1
#endif

#ifdef TAMBORELLE_ASAN
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
// Without the table of suppressions used at exit, so a program's output is the same with
// and without the leak checker.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_options() {
    return "print_suppressions=0";
}
#endif
