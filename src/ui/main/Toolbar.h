#pragma once
// The main window's toolbar row: ten picture buttons (Image5; only 0, 1, 2, 8 and 9 are
// ever shown) that sink a little under the pointer, with their tips in the status line,
// the hover and click sounds, and the background, outline-switch and format-label tips.
// The feedback itself is ToolbarState's; this class shows it and forwards events.
#include "app/ToolbarState.h"

#include <QObject>
#include <QPoint>
#include <QRect>
#include <array>

class QLabel;
class QWidget;

namespace vt {

class Form1;
class ToolbarPicture;

class MainToolbar : public QObject
{
    Q_OBJECT
public:
    static constexpr int ButtonCount = ToolbarState::ButtonCount;

    // The buttons become children of client; status is the status line (Label1).
    MainToolbar(Form1 &form, AppState &state, QWidget *client, QLabel *status);
    ~MainToolbar() override;

    QWidget *button(int i) const;
    const ToolbarState &model() const { return m_model; }
    // Each button's size and place when the window is created, in twips.
    static QRect designRect(int i);
    static bool isShown(int i) { return i == 0 || i == 1 || i == 2 || i == 8 || i == 9; }

    // Button 2 keeps to the right end of the row: its home moves with the window.
    void setButton2Home(QPoint homeTwips);
    // Records the homes from where the buttons are shown (sunk buttons keep theirs).
    void recordHomes();

    // The pointer moves over these; each gets its own tip handling.
    void watchBackground(QWidget *background);
    void watchOutlineSwitch(QWidget *check1);
    void watchFormatLabel(QWidget *label5);

    // What the events do, callable from tests.
    void hoverButton(int i);
    void hoverBackground(const QPoint &globalPos);
    void clickButton(int i);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyPositions();
    void pullStatus();
    void pushStatus();
    int indexOf(QObject *watched) const;

    Form1 &m_form;
    ToolbarState m_model;
    QLabel *m_status = nullptr;
    std::array<ToolbarPicture *, ButtonCount> m_buttons{};
    std::array<QSize, ButtonCount> m_sizes{};
    QObject *m_pressed = nullptr;
    QWidget *m_check1 = nullptr;
    QWidget *m_label5 = nullptr;
};

// What clicking toolbar button i does: the menu command it stands for.
void runToolbarCommand(Form1 &form, int i);

} // namespace vt
