#pragma once
// SIGTERM and SIGINT are treated as the system closing the main window, so the usual
// shutdown (settings, then catalogue) runs and scripts can stop the program cleanly.
// The handler only writes a byte to a socket; the event loop does the rest.
#include <QObject>

class QSocketNotifier;

namespace vt {

class SignalCloser : public QObject
{
    Q_OBJECT
public:
    // Catches the signals from here on, before there is anything to close: one that
    // comes while the program starts waits until a SignalCloser reads it. Only for a run
    // that goes on to make one; false when the signals could not be caught.
    static bool catchSignals();
    explicit SignalCloser(QObject *parent = nullptr);
    ~SignalCloser() override;
    bool isInstalled() const { return m_notifier != nullptr; }

signals:
    void closeRequested(int signalNumber);

private:
    void readSignal();
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace vt
