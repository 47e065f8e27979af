#pragma once
// The dialogs' command buttons: a picture with its caption beside it. Both parts are
// plain children of the dialog, placed by it; pointing at either part lifts both a
// little up and to the left and underlines the caption, and clicking either part runs
// the command. Moving the pointer over the dialog's bare background puts every lifted
// button back (HoverLiftBackground).
#include "common/Twips.h"
#include <QList>
#include <QObject>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <functional>

class QLabel;
class QWidget;

namespace vt {

class HoverLiftButton : public QObject
{
    Q_OBJECT
public:
    static constexpr int LiftTwips = 30;
    static constexpr int LiftPixels = twipsToPixels(LiftTwips);
    // Room between picture and caption.
    static constexpr int GapPixels = 6;

    // Picture and caption become children of parent, which also owns this object.
    // The names become the parts' object names.
    HoverLiftButton(const QPixmap &picture, const QString &caption, QWidget *parent,
                    const QString &pictureName = QString(), const QString &captionName = QString());

    QLabel *picture() const { return m_picture; }
    QLabel *caption() const { return m_caption; }
    // The caption may mark its access key with "&" (withAccessKeys).
    void setCaption(const QString &text);
    // The default button is pressed by Enter anywhere in its window, except on another
    // button, which Enter presses instead.
    void setDefault(bool on);
    bool isDefault() const { return m_defaultKeys != nullptr; }

    // Room the picture and caption need side by side, lift not included.
    QSize sizeHint() const;
    // Puts the picture at topLeft and the caption beside it, both centred on one line,
    // and records these places as home. A lifted button stays lifted, from its new home.
    void placeAt(const QPoint &topLeft);
    QRect pictureHome() const { return m_pictureHome; }
    QRect captionHome() const { return m_captionHome; }
    // The area the button covers at home, in global coordinates.
    bool homeContainsGlobal(const QPoint &globalPos) const;

    bool isLifted() const { return m_lifted; }
    // Lifts and plays the hover sound, unless already lifted: the sound comes once per entry.
    void lift();
    void returnHome();

    // Called on each lift, before lift() returns; may be empty. The dialog decides
    // whether a sound is wanted.
    void setHoverSound(std::function<void()> sound) { m_hoverSound = std::move(sound); }

signals:
    void clicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyPosition();
    void setUnderline(bool on);

    QLabel *m_picture = nullptr;
    QLabel *m_caption = nullptr;
    QRect m_pictureHome;
    QRect m_captionHome;
    bool m_lifted = false;
    QObject *m_pressedPart = nullptr;
    std::function<void()> m_hoverSound;
    QPointer<QObject> m_defaultKeys;
};

// Whether the object is the caption of a hover-lift button.
bool isHoverLiftCaption(const QObject *object);

// Watches a dialog's background: a pointer move over it returns every lifted button home.
// Only the bare background counts; controls without mouse tracking swallow the moves
// over them, so a button stays lifted while the pointer rests on another control.
class HoverLiftBackground : public QObject
{
    Q_OBJECT
public:
    explicit HoverLiftBackground(QObject *parent = nullptr);

    void addButton(HoverLiftButton *button);
    // Turns on mouse tracking for background so moves without a pressed button arrive.
    void watch(QWidget *background);
    // Returns the lifted buttons home, except one whose home area holds globalPos: the
    // lift uncovers a 2-pixel strip along the bottom and right of the home area, and the
    // pointer resting there must not make the button drop and lift again endlessly.
    void pointerAt(const QPoint &globalPos);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<QPointer<HoverLiftButton>> m_buttons;
};

// A dialog's confirm and cancel buttons stand side by side at its bottom right, inside
// its layout's margins. They move when lifted, so no layout holds them: the dialog keeps
// a strip of dialogButtonRowSize free and places them after every resize.
inline constexpr int DialogButtonSpacing = 24;
QSize dialogButtonRowSize(const HoverLiftButton &confirm, const HoverLiftButton &cancel);
void placeDialogButtons(const QWidget &dialog, HoverLiftButton &confirm, HoverLiftButton &cancel);

// The pictures of the dialogs' buttons, drawn rather than shipped so they follow the
// screen's pixel ratio.
enum class DialogPicture { Confirm, Cancel, Print };
QPixmap drawDialogPicture(DialogPicture which, int logicalSize = 24, qreal devicePixelRatio = 1.0);

} // namespace vt
