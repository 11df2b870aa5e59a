// A scripted lesson on the running program: a single-choice question with its
// answers and chart, then a subjective question with live handwriting, paged
// and zoomed from the keyboard, then both in the lesson history, one of the
// kept pictures large. A picture of every view is saved, then the program
// quits; the lesson stays in the record.
#pragma once

#include <QString>

namespace lumora {

class TFrmMain;
class TFrmSetName;

// Plays the lesson: a fresh data folder (seats without tablets) first gets
// the simulated class of 30 by a roster import.
void StartTour(TFrmMain &window, const QString &pictureDir);

// Unattended runs: presses OK on a dialog as it stands.
void AnswerDialogWithOk(TFrmSetName &dialog);

} // namespace lumora
