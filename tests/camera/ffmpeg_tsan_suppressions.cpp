// Read by ThreadSanitizer from the program itself: FFmpeg, not built with TSan,
// hands frames between its threads through atomics TSan cannot see.
extern "C" const char* __tsan_default_suppressions()
{
    return "race:libavcodec.so\n"
           "race:libavutil.so\n";
}
