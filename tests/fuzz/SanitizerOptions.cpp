// Defaults of the address sanitizer for the fuzz targets (ASAN_OPTIONS still overrides them).
// Its quarantine keeps up to 256 MB of freed blocks and it records the stack of every
// allocation, which together made a long run's memory climb (850 → 960 MB in 800 s) and made
// it several times slower, while the code under test holds no more memory from one input to
// the next. Without the quarantine a freed block stays poisoned until it is handed out again;
// two frames of each allocation's stack still say where a leak was made.

extern "C" const char *__asan_default_options()
{
    return "quarantine_size_mb=0:malloc_context_size=2";
}
