// ThreadSanitizer cannot see the C library's own loader lock: iconv loading and unloading
// its converter modules on several threads at once shows up as a race inside dlclose.
// Only that report is silenced; races in our code still fail the run.
#if defined(__SANITIZE_THREAD__)
extern "C" const char* __tsan_default_suppressions() {
    return "race:_dl_close_worker\n";
}
#endif
