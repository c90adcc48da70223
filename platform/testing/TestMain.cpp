// Every test executable starts here: a QApplication on the offscreen platform
// (so that widgets and timers work without a display), and the program's
// folders moved into a temporary folder that is removed at the end.

#include "platform/testing/TempRoot.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    tv::testing::TempRoot root;
    return RUN_ALL_TESTS();
}
