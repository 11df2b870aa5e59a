// TFrmSetName in its four entry modes: visible controls, positions, the OK
// check with its error prompts, the student choice, the answer field and the
// byte limit of names; the template's cancel paths, mask and dragging.
#include "support/DialogTest.h"

#include "config/LanguageTexts.h"
#include "config/SlotTable.h"
#include "core/MessageTexts.h"

#include <QInputMethodEvent>
#include <QMouseEvent>

#include <functional>
#include <set>

namespace lumora::test {
namespace {

using Names = std::set<std::string>;

// The controls of the table whose visibility a mode decides.
const char *const kModeControls[] = {"lblStuName", "lbl2",  "lblSLine", "lblSRow",
                                     "edtName",    "edtID", "se1",      "se2",
                                     "cbbStu",     "btn1",  "btn2"};

Names VisibleControls(TFrmSetName &dialog) {
    Names shown;
    for (const char *name : kModeControls)
        if (Find<QWidget>(dialog, name)->isVisible())
            shown.insert(name);
    return shown;
}

LanguageTexts ChineseTexts() {
    LanguageTexts texts;
    texts.Append(u"LineNum", u"横向座位数");
    texts.Append(u"RowNum", u"纵向座位数");
    texts.Append(u"AnswerSet", u"设置正确答案");
    return texts;
}

class SetNameTest : public DialogTest {};

// ---- modes ------------------------------------------------------------------------------

TEST_F(SetNameTest, EachModeShowsItsOwnControlsAndTitle) {
    SlotTable table;
    const LanguageTexts texts = ChineseTexts();
    struct Case {
        const char *mode;
        std::function<void()> open;
        Names visible;
        QString title;
    };
    const Case cases[] = {
        {"seat count",
         [&] { AskSeatCount(texts); },
         {"lblSLine", "lblSRow", "se1", "se2", "btn1", "btn2"},
         QStringLiteral("系统初始化")},
        {"seat association",
         [] { AskSeatAssociation(QString(), 0); },
         {"lblStuName", "lbl2", "edtName", "edtID", "btn1", "btn2"},
         QStringLiteral("座位关联")},
        {"student association",
         [&] { AskStudentAssociation(table); },
         {"lblStuName", "lbl2", "cbbStu", "edtID", "btn1", "btn2"},
         QStringLiteral("学生关联")},
        {"answer entry",
         [&] { AskAnswer(texts, true); },
         {"lblStuName", "edtName", "btn1", "btn2"},
         QStringLiteral("设置正确答案")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.mode);
        Names visible;
        QString title;
        DialogAnswer answer([&](TFrmSetName &dialog) {
            visible = VisibleControls(dialog);
            title = Find<QLabel>(dialog, "lbl3")->text();
        });
        c.open();
        EXPECT_EQ(visible, c.visible);
        EXPECT_EQ(title, c.title);
    }
}

TEST_F(SetNameTest, ControlsSitWhereTheFormPutsThem) {
    DialogAnswer answer([](TFrmSetName &dialog) {
        EXPECT_EQ(dialog.size(), QSize(321, 195));
        EXPECT_EQ(Find<QWidget>(dialog, "pnlClient")->height(), 138);
        EXPECT_EQ(Find<QWidget>(dialog, "lblStuName")->pos(), QPoint(47, 30));
        EXPECT_EQ(Find<QWidget>(dialog, "lbl2")->pos(), QPoint(47, 64));
        EXPECT_EQ(Find<QWidget>(dialog, "edtName")->geometry().topLeft(), QPoint(110, 26));
        EXPECT_EQ(Find<QWidget>(dialog, "edtName")->width(), 153);
        EXPECT_EQ(Find<QWidget>(dialog, "edtID")->geometry().topLeft(), QPoint(110, 60));
        EXPECT_EQ(Find<QWidget>(dialog, "edtID")->width(), 153);
        EXPECT_EQ(Find<QWidget>(dialog, "btn1")->geometry(), QRect(104, 104, 48, 24));
        EXPECT_EQ(Find<QWidget>(dialog, "btn2")->geometry(), QRect(184, 104, 48, 24));
        EXPECT_EQ(Find<QWidget>(dialog, "lblSLine")->pos(), QPoint(40, 30));
        EXPECT_EQ(Find<QWidget>(dialog, "lblSRow")->pos(), QPoint(40, 64));
        EXPECT_EQ(Find<QWidget>(dialog, "se1")->pos(), QPoint(129, 26));
        EXPECT_EQ(Find<QWidget>(dialog, "se2")->pos(), QPoint(128, 60));
        EXPECT_EQ(Find<QWidget>(dialog, "cbbStu")->geometry().topLeft(), QPoint(110, 27));
        EXPECT_EQ(Find<QWidget>(dialog, "cbbStu")->width(), 153);
        // centred on the screen
        const QRect screen = dialog.screen()->geometry();
        EXPECT_EQ(dialog.x(), screen.x() + (screen.width() - 321) / 2);
        EXPECT_EQ(dialog.y(), screen.y() + (screen.height() - 195) / 2);
    });
    AskSeatAssociation(QString(), 0);
}

TEST_F(SetNameTest, AnswerEntryMovesItsLabelAndButtonsAndShrinks) {
    DialogAnswer answer([](TFrmSetName &dialog) {
        EXPECT_EQ(dialog.size(), QSize(321, 175));
        // moved left, and 3 pixels more so that its text does not touch the field
        const QWidget *label = Find<QWidget>(dialog, "lblStuName");
        EXPECT_EQ(label->y(), 30);
        EXPECT_LE(label->x(), 37);
        EXPECT_LE(label->x() + label->width(), 110 - 3);
        EXPECT_EQ(Find<QLabel>(dialog, "lblStuName")->text(), QStringLiteral("设置正确答案"));
        EXPECT_EQ(Find<QWidget>(dialog, "btn1")->pos(), QPoint(104, 84));
        EXPECT_EQ(Find<QWidget>(dialog, "btn2")->pos(), QPoint(184, 84));
        EXPECT_TRUE(Find<QLineEdit>(dialog, "edtName")->text().isEmpty());
    });
    AskAnswer(ChineseTexts(), false);
}

TEST_F(SetNameTest, CaptionsAndLabelsFollowTheMessageTexts) {
    MessageTexts.Set(MessageKey::Tip5, QStringLiteral("OK"));
    MessageTexts.Set(MessageKey::Tip6, QStringLiteral("Cancel"));
    MessageTexts.Set(MessageKey::Tip7, QStringLiteral("Student name"));
    MessageTexts.Set(MessageKey::Tip8, QStringLiteral("Tablet ID"));
    DialogAnswer answer([](TFrmSetName &dialog) {
        EXPECT_EQ(Find<TImageButton>(dialog, "btn1")->Caption(), QStringLiteral("OK"));
        EXPECT_EQ(Find<TImageButton>(dialog, "btn2")->Caption(), QStringLiteral("Cancel"));
        EXPECT_EQ(Find<QLabel>(dialog, "lblStuName")->text(), QStringLiteral("Student name"));
        EXPECT_EQ(Find<QLabel>(dialog, "lbl2")->text(), QStringLiteral("Tablet ID"));
    });
    AskSeatAssociation(QString(), 0);
}

// A translation longer than the room before its input must not run into it;
// the labels of one dialog stay aligned with each other.
TEST_F(SetNameTest, LongLabelsStayClearOfTheirInputs) {
    MessageTexts.Set(MessageKey::Tip7, QStringLiteral("Student name"));
    MessageTexts.Set(MessageKey::Tip8, QStringLiteral("Tablet ID"));
    LanguageTexts texts;
    texts.Append(u"AnswerSet", u"Set the Correct Answer");
    SlotTable table;
    const auto check = [](TFrmSetName &dialog) {
        int right = -1;
        for (const char *name : {"lblStuName", "lbl2"}) {
            const QWidget *label = Find<QWidget>(dialog, name);
            if (!label->isVisible())
                continue;
            SCOPED_TRACE(name);
            EXPECT_GE(label->x(), 0);
            EXPECT_LE(label->x() + label->width(), 110 - 3);
            if (right >= 0) {
                EXPECT_EQ(label->x() + label->width(), right);
            }
            right = label->x() + label->width();
        }
    };
    DialogAnswer answer(check);
    AskSeatAssociation(QString(), 0);
    AskStudentAssociation(table);
    AskAnswer(texts, false);
}

// ---- seat count ---------------------------------------------------------------------------

TEST_F(SetNameTest, SeatCountOffersAtMostNineRowsOnlyOnA720PixelScreen) {
    for (int screenHeight : {720, 719, 768, 1080}) {
        SCOPED_TRACE(screenHeight);
        TFrmSetName dialog;
        dialog.SetupSeatCount(QStringLiteral("a"), QStringLiteral("b"), screenHeight);
        auto *se1 = Find<QSpinBox>(dialog, "se1");
        auto *se2 = Find<QSpinBox>(dialog, "se2");
        EXPECT_EQ(se1->value(), 8);
        EXPECT_EQ(se1->minimum(), 4);
        EXPECT_EQ(se1->maximum(), 10);
        EXPECT_EQ(se2->value(), 6);
        EXPECT_EQ(se2->minimum(), 4);
        EXPECT_EQ(se2->maximum(), screenHeight == 720 ? 9 : 10);
        se2->setValue(10);
        EXPECT_EQ(dialog.RowCount(), screenHeight == 720 ? 9 : 10);
    }
}

TEST_F(SetNameTest, SeatCountReturnsBothValuesOnOkAndNothingOnCancel) {
    const LanguageTexts texts = ChineseTexts();
    {
        DialogAnswer answer([](TFrmSetName &dialog) {
            EXPECT_EQ(Find<QLabel>(dialog, "lblSLine")->text(), QStringLiteral("横向座位数"));
            EXPECT_EQ(Find<QLabel>(dialog, "lblSRow")->text(), QStringLiteral("纵向座位数"));
            Find<QSpinBox>(dialog, "se1")->setValue(5);
            Find<QSpinBox>(dialog, "se2")->setValue(7);
            Click(dialog, "btn1");
        });
        const auto count = AskSeatCount(texts);
        ASSERT_TRUE(count.has_value());
        EXPECT_EQ(count->Line, 5);
        EXPECT_EQ(count->Row, 7);
    }
    DialogAnswer cancel([](TFrmSetName &dialog) { Click(dialog, "btn2"); });
    EXPECT_FALSE(AskSeatCount(texts).has_value());
}

// ---- seat association -----------------------------------------------------------------

TEST_F(SetNameTest, SeatAssociationChecksNameAndIdInOrder) {
    const QString error3 = BuiltInMessageText(MessageKey::Error3);
    const QString error4 = BuiltInMessageText(MessageKey::Error4);
    struct Case {
        QString name;
        QString id;
        QString error; // empty: accepted
        uint16_t cardId;
    };
    const Case cases[] = {
        {"A", "0", {}, 0},         {"A", "12", {}, 12},     {"A", " 12 ", {}, 12},
        {"A", "65535", {}, 65535}, {"A", "-1", error4, 0},  {"A", "-2", error4, 0},
        {"A", "65536", error4, 0}, {"A", "abc", error4, 0}, {"A", "12a", error4, 0},
        {"A", "0x10", error4, 0},  {"A", "", error3, 0},    {"", "12", error3, 0},
        {"", "abc", error3, 0}, // an empty name is reported before a bad ID
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name.toStdString() + " / " + c.id.toStdString());
        PromptRecorder prompts;
        bool stayedOpen = false;
        DialogAnswer answer([&](TFrmSetName &dialog) {
            Type(dialog, "edtName", c.name);
            Type(dialog, "edtID", c.id);
            Click(dialog, "btn1");
            stayedOpen = dialog.isVisible();
            if (stayedOpen) {
                // what was typed is still there
                EXPECT_EQ(Find<QLineEdit>(dialog, "edtName")->text(), c.name);
                EXPECT_EQ(Find<QLineEdit>(dialog, "edtID")->text(), c.id);
            }
        });
        const auto result = AskSeatAssociation(QStringLiteral("old"), 99);
        if (c.error.isEmpty()) {
            EXPECT_TRUE(prompts.Prompts().empty());
            ASSERT_TRUE(result.has_value());
            EXPECT_EQ(result->Name, c.name);
            EXPECT_EQ(result->CardID, c.cardId);
        } else {
            EXPECT_TRUE(stayedOpen);
            EXPECT_FALSE(result.has_value());
            ASSERT_EQ(prompts.Prompts().size(), 1u);
            EXPECT_EQ(prompts.Prompts()[0].Title, QStringLiteral("Error"));
            EXPECT_EQ(prompts.Prompts()[0].Text, c.error);
            EXPECT_FALSE(prompts.Prompts()[0].WithCancel);
        }
    }
}

TEST_F(SetNameTest, SeatAssociationIsPrefilledAndCanBeCorrectedAfterAnError) {
    PromptRecorder prompts;
    DialogAnswer answer([](TFrmSetName &dialog) {
        EXPECT_EQ(Find<QLineEdit>(dialog, "edtName")->text(), QStringLiteral("张三"));
        EXPECT_EQ(Find<QLineEdit>(dialog, "edtID")->text(), QStringLiteral("12"));
        Type(dialog, "edtID", QStringLiteral("x"));
        Click(dialog, "btn1");
        ASSERT_TRUE(dialog.isVisible());
        Type(dialog, "edtID", QStringLiteral("13"));
        // Enter in a field works the default button
        QTest::keyClick(Find<QLineEdit>(dialog, "edtID"), Qt::Key_Return);
    });
    const auto result = AskSeatAssociation(QStringLiteral("张三"), 12);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->Name, QStringLiteral("张三"));
    EXPECT_EQ(result->CardID, 13);
    EXPECT_EQ(prompts.Prompts().size(), 1u);
}

TEST_F(SetNameTest, NamesLongerThanTheFieldCannotBeTyped) {
    DialogAnswer answer([](TFrmSetName &dialog) {
        auto *name = Find<QLineEdit>(dialog, "edtName");
        name->clear();
        // 21 Chinese characters, 63 bytes, fit
        const QString many = QString(21, QChar(0x6C49));
        KeyIn(name, many);
        EXPECT_EQ(name->text(), many);
        KeyIn(name, QStringLiteral("汉")); // 66 bytes: refused
        EXPECT_EQ(name->text(), many);
        KeyIn(name, QStringLiteral("a")); // 64 bytes: fits
        EXPECT_EQ(name->text(), many + QStringLiteral("a"));
        KeyIn(name, QStringLiteral("c"));
        EXPECT_EQ(name->text().toUtf8().size(), 64);

        // what an input method commits is held to the same limit
        name->clear();
        KeyIn(name, QString(62, QLatin1Char('x')));
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("汉"));
        QApplication::sendEvent(name, &commit);
        EXPECT_EQ(name->text(), QString(62, QLatin1Char('x')));

        // a paste that does not fit is refused as a whole
        name->clear();
        name->insert(QString(65, QLatin1Char('x')));
        EXPECT_TRUE(name->text().isEmpty());
        name->insert(QString(64, QLatin1Char('x')));
        EXPECT_EQ(name->text().size(), 64);
        // four-byte characters count as four
        name->clear();
        const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
        for (int i = 0; i < 17; ++i)
            name->insert(emoji);
        EXPECT_EQ(name->text().toUtf8().size(), 64);
        Click(dialog, "btn2");
    });
    AskSeatAssociation(QString(), 0);
}

// ---- student association --------------------------------------------------------------

TEST_F(SetNameTest, StudentChoiceListsNamedEntriesAndFillsTheirTabletId) {
    SlotTable table;
    table[0].Name = QStringLiteral("Ann");
    table[0].CardID = 11;
    table[2].Name = QStringLiteral("Bob");
    table[2].CardID = 22;
    table[3].Name = QStringLiteral("Ann"); // the same name twice
    table[3].CardID = 33;
    table[5].Name = QStringLiteral("Zed"); // outside the roster
    table[5].CardID = 55;
    table.SetCount(4);

    DialogAnswer answer([](TFrmSetName &dialog) {
        auto *choice = Find<QComboBox>(dialog, "cbbStu");
        auto *id = Find<QLineEdit>(dialog, "edtID");
        ASSERT_EQ(choice->count(), 3);
        EXPECT_EQ(choice->itemText(0), QStringLiteral("Ann"));
        EXPECT_EQ(choice->itemText(1), QStringLiteral("Bob"));
        EXPECT_EQ(choice->itemText(2), QStringLiteral("Ann"));
        EXPECT_EQ(choice->currentIndex(), 0);
        EXPECT_EQ(id->text(), QStringLiteral("11"));
        EXPECT_FALSE(id->isEnabled());
        choice->setCurrentIndex(1);
        EXPECT_EQ(id->text(), QStringLiteral("22"));
        choice->setCurrentIndex(2); // the second Ann: her own tablet
        EXPECT_EQ(id->text(), QStringLiteral("33"));
        Click(dialog, "btn1");
    });
    const auto result = AskStudentAssociation(table);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->Name, QStringLiteral("Ann"));
    EXPECT_EQ(result->CardID, 33);
    EXPECT_EQ(result->Slot, 3);
}

TEST_F(SetNameTest, ListeningAssociationsTakeTheTabletWhoseKeyIsPressed) {
    // Seat 0 "Ann" holds tablet 11, seat 2 "Bob" tablet 22.
    SlotTable table;
    table[0].Name = QStringLiteral("Ann");
    table[0].CardID = 11;
    table[2].Name = QStringLiteral("Bob");
    table[2].CardID = 22;
    table.SetCount(3);
    struct Heard {
        uint16_t tablet;
        int holder;
        const char *id;     // edtID afterwards
        const char *choice; // cbbStu afterwards (student association)
        MessageKey hint;
    };
    struct Case {
        const char *name;
        bool seat;
        std::vector<Heard> presses;
    };
    const Case cases[] = {
        {"seat: a tablet nobody holds", true, {{40, -1, "40", "", MessageKey::RegisterHeard}}},
        {"seat: its own tablet", true, {{11, 0, "11", "", MessageKey::RegisterHeard}}},
        {"seat: another seat's tablet is named, then filled in",
         true,
         {{22, 2, "11", "", MessageKey::RegisterTaken},
          {22, 2, "22", "", MessageKey::RegisterHeard}}},
        {"seat: a press in between starts the naming again",
         true,
         {{22, 2, "11", "", MessageKey::RegisterTaken},
          {40, -1, "40", "", MessageKey::RegisterHeard},
          {22, 2, "40", "", MessageKey::RegisterTaken}}},
        {"student: a held tablet chooses its student",
         false,
         {{22, 2, "22", "Bob", MessageKey::RegisterHeard}}},
        {"student: a tablet nobody holds fills the ID",
         false,
         {{40, -1, "40", "Ann", MessageKey::RegisterHeard}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        DialogAnswer answer([&](TFrmSetName &dialog) {
            ASSERT_EQ(TFrmSetName::ListeningDialog(), &dialog);
            auto *hint = Find<QLabel>(dialog, "lblHeard");
            EXPECT_TRUE(hint->isVisible());
            EXPECT_EQ(hint->text(), MessageTexts[MessageKey::RegisterListen]);
            // The hint sits between the inputs and the buttons.
            EXPECT_GT(hint->y(), Find<QWidget>(dialog, "edtID")->geometry().bottom());
            EXPECT_LT(hint->geometry().bottom(), Find<QWidget>(dialog, "btn1")->y());
            for (const Heard &h : c.presses) {
                dialog.TabletHeard(h.tablet, h.holder,
                                   h.holder >= 0 ? table[h.holder].Name.ToString() : QString());
                EXPECT_EQ(Find<QLineEdit>(dialog, "edtID")->text(), QLatin1String(h.id));
                if (!c.seat) {
                    EXPECT_EQ(Find<QComboBox>(dialog, "cbbStu")->currentText(),
                              QLatin1String(h.choice));
                }
                const QString id = QString::number(h.tablet);
                EXPECT_EQ(hint->text(), h.hint == MessageKey::RegisterTaken
                                            ? FormatMessage(MessageTexts[h.hint],
                                                            {id, table[h.holder].Name.ToString()})
                                            : FormatMessage(MessageTexts[h.hint], {id}));
            }
            Click(dialog, "btn1");
        });
        if (c.seat) {
            const auto result = AskSeatAssociation(QStringLiteral("Ann"), 11, nullptr, true);
            ASSERT_TRUE(result.has_value());
            EXPECT_EQ(result->CardID, ParseTabletId(QLatin1String(c.presses.back().id)));
        } else {
            const auto result = AskStudentAssociation(table, nullptr, true);
            ASSERT_TRUE(result.has_value());
            EXPECT_EQ(result->CardID, ParseTabletId(QLatin1String(c.presses.back().id)));
        }
        EXPECT_EQ(TFrmSetName::ListeningDialog(), nullptr); // gone with its dialog
    }
}

TEST_F(SetNameTest, ADialogThatDoesNotListenIgnoresTablets) {
    DialogAnswer answer([](TFrmSetName &dialog) {
        EXPECT_EQ(TFrmSetName::ListeningDialog(), nullptr);
        EXPECT_EQ(dialog.findChild<QLabel *>(QStringLiteral("lblHeard")), nullptr);
        dialog.TabletHeard(40, -1, QString());
        EXPECT_EQ(Find<QLineEdit>(dialog, "edtID")->text(), QStringLiteral("11"));
        Click(dialog, "btn1");
    });
    EXPECT_EQ(AskSeatAssociation(QStringLiteral("Ann"), 11)->CardID, 11);
}

TEST_F(SetNameTest, StudentChoiceOfARosterWithoutNamesReportsError3) {
    SlotTable empty;
    SlotTable unnamed;
    unnamed.SetCount(5);
    for (const SlotTable *table : {&empty, &unnamed}) {
        PromptRecorder prompts;
        bool stayedOpen = false;
        DialogAnswer answer([&](TFrmSetName &dialog) {
            EXPECT_EQ(Find<QComboBox>(dialog, "cbbStu")->count(), 0);
            Click(dialog, "btn1");
            stayedOpen = dialog.isVisible();
        });
        EXPECT_FALSE(AskStudentAssociation(*table).has_value());
        EXPECT_TRUE(stayedOpen);
        ASSERT_EQ(prompts.Prompts().size(), 1u);
        EXPECT_EQ(prompts.Prompts()[0].Text, BuiltInMessageText(MessageKey::Error3));
    }
}

// ---- answer entry ----------------------------------------------------------------------

TEST_F(SetNameTest, AnswerIsUpperCaseAndLimitedByQuestionType) {
    struct Case {
        bool single;
        QString typed;
        QString shown;
    };
    const Case cases[] = {
        {true, "a", "A"},      {true, "abc", "A"},    {true, "B", "B"},
        {false, "cab", "CAB"}, {false, "aBc", "ABC"}, {false, "abcdefghij", "ABCDEFGH"},
        {false, "a1-", "A1-"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        DialogAnswer answer([&](TFrmSetName &dialog) {
            Type(dialog, "edtName", c.typed);
            EXPECT_EQ(Find<QLineEdit>(dialog, "edtName")->text(), c.shown);
            Click(dialog, "btn1");
        });
        const auto result = AskAnswer(ChineseTexts(), c.single);
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(*result, c.shown);
    }
}

TEST_F(SetNameTest, EmptyAnswerReportsError5AndKeepsTheDialogOpen) {
    PromptRecorder prompts;
    DialogAnswer answer([](TFrmSetName &dialog) {
        Click(dialog, "btn1");
        ASSERT_TRUE(dialog.isVisible());
        Type(dialog, "edtName", QStringLiteral("d"));
        Click(dialog, "btn1");
    });
    const auto result = AskAnswer(ChineseTexts(), true);
    ASSERT_EQ(prompts.Prompts().size(), 1u);
    EXPECT_EQ(prompts.Prompts()[0].Title, QStringLiteral("Error"));
    EXPECT_EQ(prompts.Prompts()[0].Text, BuiltInMessageText(MessageKey::Error5));
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, QStringLiteral("D"));
}

// ---- template: cancel paths, corners, dragging -------------------------------------------

TEST_F(SetNameTest, CancelCloseButtonEscapeAndCloseRequestAllGiveNoResult) {
    const std::function<void(TFrmSetName &)> ways[] = {
        [](TFrmSetName &dialog) { Click(dialog, "btn2"); },
        [](TFrmSetName &dialog) { Click(dialog, "btnClose"); },
        [](TFrmSetName &dialog) {
            QTest::keyClick(Find<QLineEdit>(dialog, "edtName"), Qt::Key_Escape);
        },
        [](TFrmSetName &dialog) { dialog.close(); },
    };
    for (const auto &way : ways) {
        int result = -1;
        DialogAnswer answer([&](TFrmSetName &dialog) {
            Type(dialog, "edtName", QStringLiteral("A"));
            way(dialog);
            EXPECT_FALSE(dialog.isVisible());
            result = dialog.result();
        });
        EXPECT_FALSE(AskSeatAssociation(QString(), 1).has_value());
        EXPECT_EQ(result, mrCancel);
    }
}

TEST_F(SetNameTest, CornersAreCutByTheWindowMask) {
    DialogAnswer answer([](TFrmSetName &dialog) {
        const QRegion mask = dialog.mask();
        const int w = dialog.width();
        const int h = dialog.height();
        for (const QPoint corner :
             {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)})
            EXPECT_FALSE(mask.contains(corner)) << corner.x() << "," << corner.y();
        for (const QPoint inside :
             {QPoint(3, 3), QPoint(w / 2, 0), QPoint(0, h / 2), QPoint(w - 4, h - 4)})
            EXPECT_TRUE(mask.contains(inside)) << inside.x() << "," << inside.y();
    });
    AskSeatAssociation(QString(), 0);
}

TEST_F(SetNameTest, TitleStripDragsTheWindow) {
    DialogAnswer answer([](TFrmSetName &dialog) {
        const auto send = [](QWidget *target, QEvent::Type type, QPoint global,
                             Qt::MouseButtons buttons) {
            QMouseEvent event(type, target->mapFromGlobal(global), global, Qt::LeftButton, buttons,
                              Qt::NoModifier);
            QApplication::sendEvent(target, &event);
        };
        for (const char *handle : {"lbl3", "imgTopC", "imgTopL"}) {
            SCOPED_TRACE(handle);
            QWidget *strip = Find<QWidget>(dialog, handle);
            const QPoint start = dialog.pos();
            const QPoint grab = strip->mapToGlobal(QPoint(5, 10));
            send(strip, QEvent::MouseButtonPress, grab, Qt::LeftButton);
            send(strip, QEvent::MouseMove, grab + QPoint(30, 20), Qt::LeftButton);
            send(strip, QEvent::MouseButtonRelease, grab + QPoint(30, 20), Qt::NoButton);
            EXPECT_EQ(dialog.pos(), start + QPoint(30, 20));
            // after the release the mouse no longer moves the window
            send(strip, QEvent::MouseMove, grab + QPoint(90, 90), Qt::NoButton);
            EXPECT_EQ(dialog.pos(), start + QPoint(30, 20));
        }
        // the client area does not drag
        QWidget *client = Find<QWidget>(dialog, "pnlClient");
        const QPoint start = dialog.pos();
        const QPoint grab = client->mapToGlobal(QPoint(5, 5));
        send(client, QEvent::MouseButtonPress, grab, Qt::LeftButton);
        send(client, QEvent::MouseMove, grab + QPoint(30, 20), Qt::LeftButton);
        send(client, QEvent::MouseButtonRelease, grab + QPoint(30, 20), Qt::NoButton);
        EXPECT_EQ(dialog.pos(), start);
    });
    AskSeatAssociation(QString(), 0);
}

} // namespace
} // namespace lumora::test
