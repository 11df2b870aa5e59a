#include "dialogs/OpenFile.h"

#include <QFileDialog>

#include <utility>

namespace lumora {

namespace {

OpenFileResponder &OpenFileHook() {
    static OpenFileResponder hook;
    return hook;
}

} // namespace

OpenFileResponder SetOpenFileResponder(OpenFileResponder responder) {
    return std::exchange(OpenFileHook(), std::move(responder));
}

QString AskOpenFile(QWidget *parent, const QString &caption, const QString &folder,
                    const QString &filter) {
    if (const OpenFileResponder &responder = OpenFileHook()) {
        return responder(caption, folder, filter);
    }
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

} // namespace lumora
