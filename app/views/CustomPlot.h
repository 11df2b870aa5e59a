// QCustomPlot's header, for the chart and for tests that look into it. The
// header uses Qt's keywords (signals, foreach), which the program's libraries
// turn off (QT_NO_KEYWORDS); they are defined for it alone.
#pragma once

#define signals Q_SIGNALS
#define slots Q_SLOTS
#define emit Q_EMIT
#define foreach Q_FOREACH
#include <qcustomplot.h>
#undef signals
#undef slots
#undef emit
#undef foreach
