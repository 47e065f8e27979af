#pragma once
// The about box: product name and release, and the description, credits, picture and
// home-page link rolling upwards in a framed area like film credits. While it is open
// the main window is hidden; closing it shows the main window again.
#include "app/AboutScroll.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class QLabel;
class QTimer;

namespace vt {

struct AppState;

class frmAbout2 : public QWidget
{
    Q_OBJECT
public:
    // open: opens an address with the desktop's default program (the home-page link).
    frmAbout2(const AppState &state, QWidget *mainWindow, std::function<bool(const QString &)> open);
    ~frmAbout2() override;

    const AboutScroll &scroll() const { return m_scroll; }
    // One step of the roll; the timer calls it every 10 ms.
    void tick();

protected:
    void closeEvent(QCloseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeContent();

    QPointer<QWidget> m_mainWindow;
    std::function<bool(const QString &)> m_open;
    AboutScroll m_scroll;
    QTimer *m_timer = nullptr;
    QWidget *m_picture1 = nullptr; // the viewport
    QWidget *m_picture2 = nullptr; // the rolling content
    QLabel *m_lblHomePage = nullptr;
    QList<QObject *> m_closeOnClick;
};

// Hides the main window and shows a new about box; returns at once.
frmAbout2 *showAboutBox(const AppState &state, QWidget *mainWindow, std::function<bool(const QString &)> open);

} // namespace vt
