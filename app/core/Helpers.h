// Shared helper routines of every layer: the answer encoding, rounding and
// the diagnostic log. The program-wide message texts are in MessageTexts.h.
//
// The answer encoding: a choice answer is an unsigned 32-bit mask in which bit
// n (1..31) stands for the option letter with character code 64 + n (bit 1 is
// A, bit 26 is Z, bits 27..31 are '[', '\', ']', '^', '_'); bit 0 carries no
// letter. A key event with key code k sets bit k (SetBit(answer, k, 1)).
//
// QtCore only: this header is part of lumora_core and needs no display. The
// free routines keep no state and may be called from any thread; AnswerKey
// belongs to the user-interface thread.
#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>

namespace lumora {

// ---------------------------------------------------------------------------
// Answer encoding
// ---------------------------------------------------------------------------

// Bit (n mod 32) of value, 0 or 1.
int GetBit(uint32_t value, uint8_t n);

// Value with bit (n mod 32) set to state: state 0 clears it, state 1 sets it,
// any other state (and a bit that already has that state) leaves value as it
// is. SetBit(6, 1, 0) == 4; SetBit(0, 33, 1) == 2.
uint32_t SetBit(uint32_t value, uint8_t n, uint8_t state);

// The option letters of an answer mask in ascending order: for n = 1..31 with
// bit n set, the character with code 64 + n. AnswerToLetters(10) == "AC";
// AnswerToLetters(0) and AnswerToLetters(1) are empty. Because the letters
// come out sorted, comparing with AnswerKey is a plain text comparison.
QString AnswerToLetters(uint32_t value);
// Its inverse: the mask of the letters (codes 65 to 95); other characters
// count for nothing. LettersToAnswer(u"AC") == 10.
uint32_t LettersToAnswer(QStringView letters);

// The answer key as it is stored from what the teacher typed: every
// character upper-cased, duplicates dropped, sorted ascending ("cab" -> "ABC",
// "BAB" -> "AB"). Characters outside A..Z and '['..'_' are kept too, so the
// caller's dialog decides what it accepts.
QString NormalizeAnswerKey(QStringView entered);

// The correct answer of the current choice question as letters in ascending
// order, or empty. Empty at start; set by the answer
// entry, compared against by SetAnswer and the result statistics, emptied at
// program end. User-interface thread only.
extern QString AnswerKey;

// ---------------------------------------------------------------------------
// Rounding
// ---------------------------------------------------------------------------

// A real value rounded to the nearest integer, halves to the even neighbour;
// values beyond the 32-bit range (and NaN) become the nearest end of it.
int32_t RoundHalfEven(double value);

// numerator / denominator (denominator > 0) rounded to the nearest integer,
// halves to the even neighbour: 799 / 2 -> 400, 599 / 2 -> 300, 5 / 2 -> 2.
int DivRoundHalfEven(int numerator, int denominator);

// ---------------------------------------------------------------------------
// Diagnostic log
// ---------------------------------------------------------------------------

// The line DebugLog sends: count 0 the message itself; count 1, 2, 3 the
// message followed by ": a1", ": a1 : a2", ": a1 : a2 : a3" in decimal; any
// other count an empty line. The message is never used as a format, so a
// percent sign in it is copied like any other character.
QString FormatDebugLine(QStringView message, uint8_t count, int32_t a1 = 0, int32_t a2 = 0,
                        int32_t a3 = 0);

// Sends FormatDebugLine(...) to the platform's debug output: OutputDebugString
// on Windows, the Qt logging category "lumora.debug" (debug level) elsewhere.
// Nothing is written to a file and nothing is shown to the user. Any thread.
// Example: DebugLog("ButtonSignal ID", 1, 1234) logs "ButtonSignal ID: 1234".
void DebugLog(QStringView message, uint8_t count, int32_t a1 = 0, int32_t a2 = 0, int32_t a3 = 0);

} // namespace lumora
