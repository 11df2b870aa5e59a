// The dialog tests run in one QApplication on the offscreen platform. A
// modal window that a test did not expect fails that test and is cancelled
// at once, so nothing ever waits for a user.
#include "dialogs/UnSetName.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace {

// The offscreen platform has no window masks and says so for every dialog.
QtMessageHandler g_defaultHandler = nullptr;
void QuietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message) {
    if (!message.contains(QLatin1String("does not support setting window masks")))
        g_defaultHandler(type, context, message);
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    g_defaultHandler = qInstallMessageHandler(QuietHandler);
    lumora::SetPromptResponder([](const QString &title, const QString &text, bool) {
        ADD_FAILURE() << "unexpected prompt " << title.toStdString() << ": " << text.toStdString();
        return false;
    });
    lumora::SetDialogResponder([](lumora::TFrmSetName &) { ADD_FAILURE() << "unexpected dialog"; });
    return RUN_ALL_TESTS();
}
