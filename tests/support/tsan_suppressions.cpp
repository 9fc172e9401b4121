// Read by ThreadSanitizer from the test program itself. FFmpeg, not built with
// TSan, hands frames between its threads through atomics TSan cannot see. Qt
// GUI, not built with TSan either, scales and fills large pictures on its own
// thread pool, handing work over through futexes TSan cannot see: what it
// allocates and copies there would look raced (its own loads and stores are
// not seen at all), and so do the pool's tasks and wait conditions.
extern "C" const char* __tsan_default_suppressions()
{
    return "race:libavcodec.so\n"
           "race:libavutil.so\n"
           "called_from_lib:libQt6Gui.so\n"
           "race:QRunnable::create\n"
           "race:QWaitCondition::\n";
}
