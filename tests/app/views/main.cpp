// The view tests run inside one QApplication on the offscreen platform, with
// the program's 12-pixel mono font as the application font, so that text is
// measured as the program measures it.
#include "controls/WidgetHelpers.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setFont(lumora::LumoraFont());
    return RUN_ALL_TESTS();
}
