#include "platform/HeadlessPlatform.h"

namespace platform {

Q_LOGGING_CATEGORY(lcMessage, "ventrolo.message")

namespace {

QString AnswerText(Answer answer) {
    switch (answer) {
    case Answer::Ok:
        return QStringLiteral("Ok");
    case Answer::Cancel:
        return QStringLiteral("Cancel");
    case Answer::Yes:
        return QStringLiteral("Yes");
    case Answer::No:
        return QStringLiteral("No");
    }
    return {};
}

// One line: the box's lines joined, so the journal keeps the message whole.
QString OneLine(const QString& text) {
    return text.simplified();
}

} // namespace

Answer HeadlessPlatform::messageBox(const QString& text, const QString&, Icon icon,
                                    Buttons buttons) {
    const Answer answer = UnansweredAnswer(buttons);
    if (buttons != Buttons::Ok) {
        qCInfo(lcMessage).noquote() << OneLine(text) << "- answered" << AnswerText(answer);
    } else if (icon == Icon::Critical || icon == Icon::Exclamation) {
        qCWarning(lcMessage).noquote() << OneLine(text);
    } else {
        qCInfo(lcMessage).noquote() << OneLine(text);
    }
    return answer;
}

QString HeadlessPlatform::inputBox(const QString& prompt, const QString&, const QString&) {
    qCInfo(lcMessage).noquote() << OneLine(prompt) << "- not answered";
    return {};
}

} // namespace platform
