// One QApplication on the offscreen platform; any modal window a test did not
// expect fails that test and is answered at once.
#include "config/UnSetName.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    lumora::SetPromptResponder([](const QString &title, const QString &text, bool) {
        ADD_FAILURE() << "unexpected prompt " << title.toStdString() << ": " << text.toStdString();
        return false;
    });
    lumora::SetDialogResponder([](lumora::TFrmSetName &) { ADD_FAILURE() << "unexpected dialog"; });
    return RUN_ALL_TESTS();
}
