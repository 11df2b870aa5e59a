// A scripted lesson on the running program: a single-choice question with its
// answers and chart, then a subjective question with live handwriting. A
// picture of every view is saved, then the program quits.
#pragma once

#include <QString>

namespace lumora {

class TFrmMain;

void StartTour(TFrmMain &window, const QString &pictureDir);

} // namespace lumora
