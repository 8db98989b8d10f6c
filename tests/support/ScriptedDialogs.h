#pragma once
// Test double for the window layer's dialog runner: lets a test fill and
// close each modal dialog.
#include "widgets/QtPlatform.h"
#include "support/FakePlatform.h"
#include <QDialog>
#include <QStringList>
#include <deque>
#include <functional>

namespace morvane::test {

// Each exec() takes the next handler; with none left the dialog is rejected.
class ScriptedDialogs : public IDialogRunner {
public:
    using Handler = std::function<int(QDialog&)>;
    ScriptedDialogs() { m_previous = platform::setDialogs(this); }
    ~ScriptedDialogs() override { platform::setDialogs(m_previous); }
    int exec(QDialog& dialog) override
    {
        opened.push_back(dialog.metaObject()->className());
        titles.push_back(dialog.windowTitle());
        if (handlers.empty())
            return QDialog::Rejected;
        Handler h = std::move(handlers.front());
        handlers.pop_front();
        return h(dialog);
    }
    std::deque<Handler> handlers;
    QStringList opened; // class names, in order
    QStringList titles;

private:
    IDialogRunner* m_previous;
};

} // namespace morvane::test
