#pragma once

#include <QDialog>

class QTextBrowser;

namespace zelk::view {

// The help viewer: one window, shown without blocking, over the help pages built into the
// program. A help context picks the page; links between pages stay inside the window.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    static void ShowTopic(const QString& helpFile, int command, long context);
    static HelpWindow* Current();
    QString Text() const;
    // The file name of the page on show ("search.html").
    QString Page() const;
    // Follows a link of the page on show, as a click on it does.
    void OpenLink(const QString& href);

private:
    HelpWindow();
    QTextBrowser* browser_;
};

} // namespace zelk::view
