// A hand-built record of class 7B's September (and what must stay out of
// it: a lesson in the bin, another class's, and lessons of the days around),
// written straight into a record the program made. Names chosen to test the
// exports: formulas.
#pragma once

#include "support/TestFiles.h"

#include <QString>
#include <QStringList>

namespace lumora::test {

class TermFixture {
public:
    TermFixture();
    QString DataDir() const { return dir_.Path(); }
    QString File(const QString &name) const { return dir_.File(name); }

private:
    test::DataDir dir_;
};

} // namespace lumora::test
