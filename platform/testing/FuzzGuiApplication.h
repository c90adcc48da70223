#pragma once
// The GUI application that the callers of pictures, fonts, cursors,
// metafiles and the clipboard always run in, for the fuzz targets that
// reach them; and a message handler that keeps the warnings Qt and its
// image plugins print for damaged input (a few lines for each of millions
// of inputs) out of a fuzz run's log.

#include <QCoreApplication>
#include <QGuiApplication>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace tv::fuzzing {

// Made once, on the offscreen platform, from LLVMFuzzerInitialize's
// arguments (which live as long as the process), and kept to the end of
// the process: taken down among the other statics, it would leave Qt's
// per-thread font caches behind, unreachable. With an application the
// button's downloads of media named by an address start: they are sent to
// a proxy on a port of this machine where nothing listens, so they fail at
// once and nothing leaves the machine.
inline void StartGuiApplication(int* argc, char*** argv)
{
    static QGuiApplication* app = [&] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        for (const char* name : {"http_proxy", "https_proxy", "HTTPS_PROXY", "ftp_proxy", "all_proxy", "ALL_PROXY"})
            setenv(name, "http://127.0.0.1:9", 1);
        unsetenv("no_proxy");
        unsetenv("NO_PROXY");
        return new QGuiApplication(*argc, *argv);
    }();
    (void)app;
}

// The event loop never runs in a fuzz target: what an input posted (window
// messages, the completions of downloads it started) is dropped after it,
// so that the queue does not grow from input to input.
inline void DropPostedEvents()
{
    QCoreApplication::removePostedEvents(nullptr);
}

// Debug, information and warning messages are dropped; critical and fatal
// ones still reach Qt's own handler.
inline void DropQtWarnings()
{
    static const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (type != QtCriticalMsg && type != QtFatalMsg)
                return;
            if (previous)
                previous(type, context, message);
            else
                std::fprintf(stderr, "%s\n", qPrintable(message));
        });
}

} // namespace tv::fuzzing
