// Suppressions that ThreadSanitizer reads from the program itself (ignored by
// other builds). FFmpeg is not built with TSan: its decoding threads hand
// frames over through atomics TSan cannot see, so every buffer they pass
// looks raced. Races with FFmpeg in either stack are therefore not reported.
extern "C" const char* __tsan_default_suppressions()
{
    return "race:libavcodec.so\n"
           "race:libavutil.so\n";
}
