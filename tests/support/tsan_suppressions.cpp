// Read by ThreadSanitizer from the test program itself. FFmpeg, not built with
// TSan, hands frames between its threads through atomics TSan cannot see. Qt,
// not built with TSan either, hands work to its own thread pool (the painter
// scales and fills large pictures there) through futexes TSan cannot see, so
// the memory its threads allocate, copy and free looks raced; what Qt's
// libraries call is left out (their own loads and stores are never seen).
// The same holds for the name and proxy look-ups of the window's update check
// (Qt Network, libproxy and the GLib threads it starts).
extern "C" const char* __tsan_default_suppressions()
{
    return "race:libavcodec.so\n"
           "race:libavutil.so\n"
           "called_from_lib:libQt6Core.so\n"
           "called_from_lib:libQt6Gui.so\n"
           "called_from_lib:libQt6Network.so\n"
           "called_from_lib:libproxy.so\n"
           "called_from_lib:libglib-2.0.so\n"
           "called_from_lib:libgio-2.0.so\n";
}
