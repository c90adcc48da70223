// Every test executable starts here: a QApplication on the offscreen platform
// (so that widgets and timers work without a display), and the program's
// folders moved into a temporary folder that is removed at the end.

#include "platform/testing/TempRoot.h"

#include <QApplication>

#include <gtest/gtest.h>

// The sanitizers' settings, however a test executable is started (by ctest,
// by hand, on a desktop of its own); ASAN_OPTIONS and the others can still
// add to them.
//
// intercept_tls_get_addr=0: GCC 12's leak checker follows the thread-local
// blocks of libraries loaded at run time (the button library) through
// __tls_get_addr, and takes a block that starts 16 bytes into a page for an
// old glibc's block with its size and start in front of it. It then scans
// whatever range those bytes make and crashes at exit, after the test has
// passed ("Tracer caught signal 11"), depending only on where the block
// happens to lie. Without that tracking the blocks are still found: the
// loader's allocations count as reachable and are scanned like the rest.
extern "C" {
const char* __asan_default_options()
{
    return "detect_leaks=1:abort_on_error=0:intercept_tls_get_addr=0";
}
const char* __lsan_default_options()
{
    return "suppressions=" TV_SOURCE_DIR "/tools/lsan.supp";
}
const char* __ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    tv::testing::TempRoot root;
    return RUN_ALL_TESTS();
}
