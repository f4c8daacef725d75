#pragma once

#include <QDialog>

class QTextBrowser;

namespace zelk::view {

// The help viewer: one window, shown without blocking, with the help file when there is one
// and the built-in guide otherwise.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    static void ShowTopic(const QString& helpFile, int command, long context);
    static HelpWindow* Current();
    QString Text() const;

private:
    HelpWindow();
    void Load(const QString& helpFile, long context);
    QTextBrowser* browser_;
};

} // namespace zelk::view
