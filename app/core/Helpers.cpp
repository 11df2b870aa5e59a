#include "core/Helpers.h"

#include <QLoggingCategory>

#include <algorithm>
#include <cmath>

namespace lumora {

namespace {
// Off unless asked for (QT_LOGGING_RULES="lumora.debug.debug=true"), like a debug
// output nobody listens to: every tablet's signal record writes a line, several
// a second per tablet.
Q_LOGGING_CATEGORY(lcDebugLog, "lumora.debug", QtInfoMsg)
} // namespace

int GetBit(uint32_t value, uint8_t n) {
    return static_cast<int>((value >> (n % 32u)) & 1u);
}

uint32_t SetBit(uint32_t value, uint8_t n, uint8_t state) {
    const uint32_t mask = 1u << (n % 32u);
    if (static_cast<uint32_t>(GetBit(value, n)) == state) {
        return value;
    }
    switch (state) {
    case 0:
        return value & ~mask;
    case 1:
        return value | mask;
    default:
        return value;
    }
}

QString AnswerToLetters(uint32_t value) {
    QString letters;
    for (uint8_t n = 1; n <= 31; ++n) {
        if (GetBit(value, n) == 1) {
            letters.append(QChar(static_cast<char16_t>(64 + n)));
        }
    }
    return letters;
}

uint32_t LettersToAnswer(QStringView letters) {
    uint32_t value = 0;
    for (const QChar c : letters) {
        if (c.unicode() >= 65 && c.unicode() <= 95) {
            value = SetBit(value, static_cast<uint8_t>(c.unicode() - 64), 1);
        }
    }
    return value;
}

QString NormalizeAnswerKey(QStringView entered) {
    const QString upper = entered.toString().toUpper();
    std::u16string chars(reinterpret_cast<const char16_t *>(upper.utf16()),
                         static_cast<size_t>(upper.size()));
    std::sort(chars.begin(), chars.end());
    chars.erase(std::unique(chars.begin(), chars.end()), chars.end());
    return QString::fromStdU16String(chars);
}

QString AnswerKey;

int32_t RoundHalfEven(double value) {
    const double rounded = std::nearbyint(value); // default mode: to nearest, ties to even
    if (!(rounded > -2147483648.0 && rounded < 2147483647.0)) {
        return rounded > 0 ? INT32_MAX : INT32_MIN;
    }
    return static_cast<int32_t>(rounded);
}

int DivRoundHalfEven(int numerator, int denominator) {
    // floor division, then the remainder decides
    int q = numerator / denominator;
    int r = numerator % denominator;
    if (r < 0) {
        q -= 1;
        r += denominator;
    }
    const int twice = 2 * r;
    if (twice > denominator || (twice == denominator && (q % 2 != 0))) {
        ++q;
    }
    return q;
}

QString FormatDebugLine(QStringView message, uint8_t count, int32_t a1, int32_t a2, int32_t a3) {
    if (count > 3) {
        return QString();
    }
    QString line = message.toString();
    const int32_t args[3] = {a1, a2, a3};
    for (int i = 0; i < count; ++i) {
        line += (i == 0 ? QStringLiteral(": ") : QStringLiteral(" : "));
        line += QString::number(args[i]);
    }
    return line;
}

void DebugLog(QStringView message, uint8_t count, int32_t a1, int32_t a2, int32_t a3) {
    const QString line = FormatDebugLine(message, count, a1, a2, a3);
    // "%s" with the line as argument: the line itself is never a format. Qt's
    // message handler takes it to stderr, or on Windows to the debugger's
    // output (a program without a console, platform/Diagnostics.h).
    qCDebug(lcDebugLog, "%s", qUtf8Printable(line));
}

} // namespace lumora
