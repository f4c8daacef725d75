#pragma once

#include <QDialog>

#include <string>

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

// A workbench window that is not one of the module's names its help page here; F1 and the
// Help menu in front of it open that page.
void SetHelpPage(QWidget* window, const std::string& page);
// The help page a window named, or empty.
std::string HelpPageOf(const QWidget* window);
// F1 in a top-level window of its own (a dialog) opens its help page.
void AddHelpKey(QWidget* window, const std::string& page);

} // namespace zelk::view
