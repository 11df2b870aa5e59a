// Helpers of the dialog tests: scoped responders that answer the modal
// windows, and access to a dialog's controls by object name.
#pragma once

#include "controls/SkinButton.h"
#include "core/MessageTexts.h"
#include "dialogs/UnSetName.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace lumora::test {

struct Prompt {
    QString Title;
    QString Text;
    bool WithCancel = false;
};

// Records every prompt and answers it with `answer` while it lives.
class PromptRecorder {
public:
    explicit PromptRecorder(bool answer = true) {
        m_previous = SetPromptResponder(
            [this, answer](const QString &title, const QString &text, bool withCancel) {
                m_prompts.push_back({title, text, withCancel});
                return answer;
            });
    }
    ~PromptRecorder() { SetPromptResponder(std::move(m_previous)); }
    PromptRecorder(const PromptRecorder &) = delete;
    PromptRecorder &operator=(const PromptRecorder &) = delete;

    const std::vector<Prompt> &Prompts() const { return m_prompts; }
    void Clear() { m_prompts.clear(); }

private:
    PromptResponder m_previous;
    std::vector<Prompt> m_prompts;
};

// Answers the dialogs opened while it lives with `answer`.
class DialogAnswer {
public:
    explicit DialogAnswer(DialogResponder answer)
        : m_previous(SetDialogResponder(std::move(answer))) {}
    ~DialogAnswer() { SetDialogResponder(std::move(m_previous)); }
    DialogAnswer(const DialogAnswer &) = delete;
    DialogAnswer &operator=(const DialogAnswer &) = delete;

private:
    DialogResponder m_previous;
};

// While it lives, prompts open as real dialogs (answered by the dialog
// responder) instead of going to a prompt responder.
class PromptsAsDialogs {
public:
    PromptsAsDialogs() : m_previous(SetPromptResponder(nullptr)) {}
    ~PromptsAsDialogs() { SetPromptResponder(std::move(m_previous)); }
    PromptsAsDialogs(const PromptsAsDialogs &) = delete;
    PromptsAsDialogs &operator=(const PromptsAsDialogs &) = delete;

private:
    PromptResponder m_previous;
};

// A control of the dialog by object name; a missing one fails the test.
template <typename T> T *Find(QWidget &dialog, const char *name) {
    T *widget = dialog.findChild<T *>(QLatin1String(name));
    if (!widget)
        throw std::runtime_error(std::string("no control ") + name);
    return widget;
}

inline void Click(QWidget &dialog, const char *button) {
    QTest::mouseClick(Find<TImageButton>(dialog, button), Qt::LeftButton);
}

// Key presses carrying one character each; unlike QTest::keyClicks they also
// carry characters outside Latin-1.
inline void KeyIn(QWidget *widget, const QString &text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

inline void Type(QWidget &dialog, const char *edit, const QString &text) {
    auto *field = Find<QLineEdit>(dialog, edit);
    field->clear();
    KeyIn(field, text);
}

// Message texts at their built-in defaults around every test.
class DialogTest : public ::testing::Test {
protected:
    void SetUp() override { MessageTexts.ResetToDefaults(); }
    void TearDown() override { MessageTexts.ResetToDefaults(); }
};

} // namespace lumora::test
