// The main window tests run in one QApplication on the offscreen platform. A
// prompt or dialog that a test did not answer fails that test and is
// cancelled at once, so nothing ever waits for a user.
#include "TsanEvents.h"
#include "controls/Stdpanel.h"
#include "controls/WidgetHelpers.h"
#include "dialogs/UnSetName.h"

#include <QApplication>
#include <QLoggingCategory>

#include <gtest/gtest.h>

namespace {

// The offscreen platform says what it cannot do (window masks, size hints,
// raising, grabbing) for every window.
QtMessageHandler g_defaultHandler = nullptr;
void QuietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message) {
    if (!message.startsWith(QLatin1String("This plugin does not support"))) {
        g_defaultHandler(type, context, message);
    }
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setFont(lumora::LumoraFont());
    g_defaultHandler = qInstallMessageHandler(QuietHandler);
    // The receiver's state lines of every test are no news.
    QLoggingCategory::setFilterRules(QStringLiteral("lumora.debug=false"));
    lumora::SetPromptResponder([](const QString &title, const QString &text, bool) {
        ADD_FAILURE() << "unexpected prompt " << title.toStdString() << ": " << text.toStdString();
        return false;
    });
    lumora::SetDialogResponder([](lumora::TFrmSetName &) { ADD_FAILURE() << "unexpected dialog"; });
#if LUMORA_TSAN
    lumora::test::PostedEventDelivery delivery;
    app.installEventFilter(&delivery);
#endif
    return RUN_ALL_TESTS();
}
