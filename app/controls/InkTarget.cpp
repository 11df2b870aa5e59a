// The shared ink target in a QImage, drawn on as a PenlynxSurface (every
// system but Windows).
#include "controls/InkTarget.h"

#include "penlynx.h"

#include <QImage>

#include <algorithm>

namespace lumora {

namespace {

QImage &Sheet(void *native) {
    return *static_cast<QImage *>(native);
}

} // namespace

InkTarget::~InkTarget() {
    delete static_cast<QImage *>(native_);
}

bool InkTarget::Grow(QSize size) {
    if (native_ != nullptr && size_.width() >= size.width() && size_.height() >= size.height()) {
        return true;
    }
    const QSize grown = size_.expandedTo(size);
    QImage sheet(grown, QImage::Format_RGB32);
    if (sheet.isNull()) {
        return false; // the smaller one stays
    }
    if (native_ == nullptr) {
        native_ = new QImage;
    }
    Sheet(native_) = std::move(sheet);
    bits_ = Sheet(native_).bits();
    strideBytes_ = static_cast<int>(Sheet(native_).bytesPerLine());
    size_ = grown;
    return true;
}

void InkTarget::Draw(int slot, QSize size, int x, int y, int kind) {
    // The shared sheet is passed with this sheet's size: the library never
    // draws past it.
    const QSize drawn = size.boundedTo(size_);
    PenlynxSurface surface{static_cast<uint32_t *>(bits_), drawn.width(), drawn.height(),
                           strideBytes_};
    SDKDraw(slot, &surface, x, y, kind);
}

void InkTarget::Advance(int slot, int x, int y, int kind) {
    SDKDraw(slot, nullptr, x, y, kind);
}

} // namespace lumora
