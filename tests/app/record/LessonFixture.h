// A known lesson recorded through the real recorder: three students, a
// single choice, a multiple choice and a subjective question with one
// picture. Names chosen to test exports: Chinese, a comma, a formula.
#pragma once

#include "support/TestFiles.h"

#include <QImage>
#include <QString>

namespace lumora::test {

class LessonFixture {
public:
    // Records the lesson into a fresh data folder.
    LessonFixture();
    const QString &DataDir() const { return dataDir_; }
    QString Path() const { return dir_.Path(); }
    QString File(const QString &name) const { return dir_.File(name); }
    const QImage &Ink() const { return ink_; }

private:
    test::DataDir dir_;
    QString dataDir_;
    QImage ink_;
};

} // namespace lumora::test
