#include "LessonFixture.h"

#include "RecordTest.h"

namespace lumora::test {

namespace {
constexpr uint32_t A = 1u << 1, B = 1u << 2, C = 1u << 3;
}

LessonFixture::LessonFixture() : dataDir_(dir_.Path()) {
    SlotTable table;
    FillTable(table, {{"张三", 11}, {"Li, Mei", 12}, {"=cmd", 13}, {"", 14}});
    Recorder recorder(dataDir_);
    recorder.Start();

    recorder.QuestionStarted(0, QStringLiteral("B"), table);
    recorder.KeyPressed(0, 1, A);
    recorder.KeyPressed(0, 2, B);
    recorder.KeyPressed(1, 2, B);
    recorder.KeyPressed(1, 9, 0);
    table[0].Answer = B;
    recorder.QuestionEnded(0, QStringLiteral("B"), table);

    table[0].Answer = 0;
    recorder.QuestionStarted(1, QStringLiteral("AC"), table);
    recorder.KeyPressed(0, 1, A);
    recorder.KeyPressed(0, 3, A | C);
    recorder.KeyPressed(1, 1, A);
    recorder.KeyPressed(2, 3, C);
    recorder.KeyPressed(2, 1, A | C);
    table[0].Answer = A | C;
    table[1].Answer = A;
    table[2].Answer = A | C;
    recorder.QuestionEnded(1, QStringLiteral("AC"), table);

    for (int i = 0; i < 3; ++i) {
        table[i].Answer = 0;
    }
    recorder.QuestionStarted(2, QString(), table);
    recorder.PenPoint(1, 3, 4);
    recorder.PenUp(1);
    recorder.UnknownTablet(500);
    recorder.QuestionEnded(2, QString(), table);
    ink_ = QImage(20, 10, QImage::Format_RGB32);
    ink_.fill(Qt::white);
    ink_.setPixel(3, 4, qRgb(10, 20, 30));
    table[1].InkCanvas = &ink_;
    recorder.SaveInkPictures(table);
    recorder.Stop();
}

} // namespace lumora::test
