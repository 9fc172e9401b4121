// Read by ThreadSanitizer from the test program itself. FFmpeg, not built with
// TSan, hands frames between its threads through atomics TSan cannot see. Qt
// guards its event queues with futexes TSan cannot see either, so the call a
// queued invocation from another thread allocates looks raced where the GUI
// thread runs and frees it.
extern "C" const char* __tsan_default_suppressions()
{
    return "race:libavcodec.so\n"
           "race:libavutil.so\n"
           "race:QMetaObject::invokeMethod\n";
}
