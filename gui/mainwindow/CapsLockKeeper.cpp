// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/CapsLockKeeper.h"

#include <QApplication>
#include <QFileDialog>
#include <QSocketNotifier>
#include <QTimer>
#include <QWindow>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include "gui/mainwindow/KeyboardLocks.h"

namespace edlt::ui {
namespace {

CapsLockKeeper* keeper = nullptr;
int signalPipe[2] = {-1, -1};

void quitSignal(int sig)
{
    const char byte = static_cast<char>(sig);
    // Nothing to do when the pipe is full: a signal is already on its way.
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

void crashSignal(int sig)
{
    // Best effort: the keyboard is reached over the keeper's own display connection.
    if (keeper) keeper->restore();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

// Dialogs where a path or other text not bound for the declaration is typed: file
// dialogs, and the print, page-setup and printer-properties dialogs (a PDF's file name).
bool insideFreeTextDialog(const QWidget* w)
{
    for (; w; w = w->parentWidget())
        if (qobject_cast<const QFileDialog*>(w) || w->inherits("QAbstractPrintDialog") ||
            w->inherits("QPageSetupDialog") || w->inherits("QPrintPropertiesDialog"))
            return true;
    return false;
}

}  // namespace

CapsLockKeeper::CapsLockKeeper(QObject* parent) : QObject(parent), locks_(new KeyboardLocks(this))
{
    locks_->setObjectName("keyboardLocks");
    keeper = this;
    connect(qApp, &QApplication::focusChanged, this, &CapsLockKeeper::follow);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &CapsLockKeeper::follow);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, &CapsLockKeeper::follow);
}

CapsLockKeeper::~CapsLockKeeper()
{
    restore();
    if (keeper == this) keeper = nullptr;
}

void CapsLockKeeper::attach(std::filesystem::path record)
{
    record_ = std::move(record);
    char state = 0;
    const int fd = ::open(record_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        if (::read(fd, &state, 1) == 1 && (state == '0' || state == '1')) locks_->setCapsLock(state == '1');
        ::close(fd);
    }
    removeRecord();
    follow();
}

bool CapsLockKeeper::writeRecord(bool userState) const
{
    int fd = ::open(record_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0 && errno == EEXIST) {
        // Ours, from a switch whose record could not be removed: it holds no other state.
        removeRecord();
        fd = ::open(record_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    }
    if (fd < 0) return false;
    const char state = userState ? '1' : '0';
    const bool written = ::write(fd, &state, 1) == 1;
    if (::close(fd) != 0 || !written) {
        removeRecord();
        return false;
    }
    return true;
}

void CapsLockKeeper::removeRecord() const
{
    // unlink alone: also called from a crash signal's handler.
    if (!record_.empty()) ::unlink(record_.c_str());
}

void CapsLockKeeper::follow()
{
    // Decided once the focus has settled: while it moves, the active window may still be
    // the one being left.
    if (queued_) return;
    queued_ = true;
    QTimer::singleShot(0, this, &CapsLockKeeper::decide);
}

void CapsLockKeeper::decide()
{
    queued_ = false;
    if (finished_ || record_.empty()) return;
    QWidget* active = QApplication::activeWindow();
    const bool ours = active && QGuiApplication::applicationState() == Qt::ApplicationActive &&
                      !insideFreeTextDialog(active);
    if (ours && !userState_) {
        const bool users = locks_->capsLock();
        // A lock switched without its record could outlive a killed run: left alone then.
        if (!writeRecord(users)) return;
        userState_ = users;
        locks_->setCapsLock(true);
    } else if (!ours && userState_) {
        locks_->setCapsLock(*userState_);
        userState_.reset();
        removeRecord();
    }
}

void CapsLockKeeper::restore()
{
    finished_ = true;
    if (!userState_) return;
    locks_->setCapsLock(*userState_);
    userState_.reset();
    removeRecord();
}

void CapsLockKeeper::resume()
{
    finished_ = false;
    follow();
}

void CapsLockKeeper::restoreOnSignals()
{
    if (signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        char sig = 0;
        if (::read(signalPipe[0], &sig, 1) != 1) return;
        restore();
        // The program ends as the signal meant: the workspace stays for the next start.
        std::signal(sig, SIG_DFL);
        std::raise(sig);
    });
    const auto handle = [](int sig, void (*handler)(int)) {
        struct sigaction old {};
        // A signal the caller chose to ignore (nohup) stays ignored.
        if (::sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) return;
        std::signal(sig, handler);
    };
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) handle(sig, quitSignal);
    for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) handle(sig, crashSignal);
}

}  // namespace edlt::ui
