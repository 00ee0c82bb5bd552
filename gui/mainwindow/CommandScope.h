// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// While a command of the window runs, the please-wait window repaints through the event
// loop; what the user's earlier actions queued (a header box's exit check) must not run
// in the middle of the command. Such work asks whether a command runs and, if so, is put
// off until the last one ends.
#include <QObject>
#include <QPointer>
#include <functional>
#include <utility>
#include <vector>

namespace edlt::ui {

class CommandScope {
public:
    CommandScope() { ++depth(); }
    ~CommandScope()
    {
        if (--depth() > 0) return;
        // Queued again, so they run from the event loop once the command has returned.
        for (auto& [context, work] : std::exchange(later(), {}))
            if (context) QMetaObject::invokeMethod(context, std::move(work), Qt::QueuedConnection);
    }
    CommandScope(const CommandScope&) = delete;
    CommandScope& operator=(const CommandScope&) = delete;

    static bool running() { return depth() > 0; }
    // Runs work after the running command, unless context is gone by then.
    static void afterwards(QObject* context, std::function<void()> work)
    {
        later().emplace_back(context, std::move(work));
    }

private:
    static int& depth()
    {
        static int d = 0;
        return d;
    }
    static std::vector<std::pair<QPointer<QObject>, std::function<void()>>>& later()
    {
        static std::vector<std::pair<QPointer<QObject>, std::function<void()>>> w;
        return w;
    }
};

}  // namespace edlt::ui
