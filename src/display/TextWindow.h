#pragma once

#include "display/Resources.h"
#include "platform/Platform.h"

#include <QWidget>

class QPlainTextEdit;

namespace display {

// The text window (Form6): a help or change text of the program directory, read-only, filling
// the window. It deletes itself when closed, after telling closed().
class TextWindow : public QWidget {
    Q_OBJECT

public:
    TextWindow(platform::Platform& platform, const QString& programDirectory, HelpText text);

    HelpText text() const { return text_; }
    QPlainTextEdit* Text1;

signals:
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    platform::Platform& platform_;
    HelpText text_;
};

} // namespace display
