#pragma once
// The title editor: the cover's front and spine texts, their one shared font, size,
// style and colour, and the two switches that say whether each text is drawn. The
// dialog works on its own copy (the sample and the swatch); nothing reaches the
// title record before the user confirms.
#include "app/AppState.h"
#include "formats/TitleStyle.h"

#include <QDialog>
#include <QFont>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpacerItem;

namespace vt {

class HoverLiftButton;

// What the editor needs from the main window. state and style are required.
struct TitleEditorContext
{
    AppState *state = nullptr;
    TitleStyle *style = nullptr;
    // Stores CoverText; runs format selection at once when the text changed. Empty:
    // the editor stores it itself and runs formatSelection when it changed.
    std::function<void(const QString &)> setCoverText;
    // The main window's format selection, which redraws the titles.
    std::function<void()> formatSelection;
    // Plays a sound to its end, e.g. "Files/Click1.wav" relative to the program folder.
    // Called only when sounds are on; may be empty.
    std::function<void(const QString &relativeWav)> playSound;
    // Asks for a colour starting at start; nullopt when cancelled. Empty: the standard
    // colour dialog.
    std::function<std::optional<quint32>(QWidget *owner, quint32 start)> chooseColor;
};

// Shows the editor modally over owner and returns once it has closed.
void openTitleEditor(QWidget *owner, const TitleEditorContext &context);

class frmTitolo : public QDialog
{
    Q_OBJECT
public:
    // Sizes the size field accepts, in points.
    static constexpr double MinimumFontSize = 1.0;
    static constexpr double MaximumFontSize = 1638.0;

    // Builds the dialog and runs its load steps; throws std::invalid_argument without
    // state or style.
    explicit frmTitolo(TitleEditorContext context, QWidget *parent = nullptr);
    ~frmTitolo() override;

    // The working copy: the sample's font and the swatch's colour.
    QFont sampleFont() const;
    quint32 swatchColor() const { return m_swatchColor; }
    // 0: confirm ("Ok"), 1: cancel.
    HoverLiftButton *button(int n) const;

    // A click on button n's picture or caption.
    void pressButton(int n);
    // A click on the colour swatch.
    void chooseColour();
    // Escape and the window's close box cancel, like the cancel button without its sound.
    void reject() override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildControls();
    void load();
    void applyCaptions();
    void reserveButtonRoom();
    void layoutButtons();
    void applySizeText(const QString &text);
    void applyStyleSwitches();
    void selectFontFamily(const QString &family);
    void setSwatchColor(quint32 color);
    void finish(int n);
    void play(const QString &relativeWav) const;
    QString text(int entry) const { return m_ctx.state->Language[entry]; }

    TitleEditorContext m_ctx;
    bool m_finished = false;
    quint32 m_swatchColor = 0;

    QLabel *m_label3 = nullptr;  // heading
    QLabel *m_label10 = nullptr;
    QLineEdit *m_text1 = nullptr;
    QLabel *m_label11 = nullptr;
    QLineEdit *m_text2 = nullptr;
    QLabel *m_label4 = nullptr;
    QComboBox *m_combo1 = nullptr; // fonts
    QLabel *m_label5 = nullptr;
    QComboBox *m_combo2 = nullptr; // size
    QCheckBox *m_check1 = nullptr; // bold
    QCheckBox *m_check2 = nullptr; // italic
    QCheckBox *m_check3 = nullptr; // underline
    QLabel *m_label6 = nullptr;
    QWidget *m_shape16 = nullptr;  // colour swatch
    QLabel *m_label2 = nullptr;    // sample
    QCheckBox *m_check4 = nullptr; // front title on
    QLabel *m_label8 = nullptr;
    QCheckBox *m_check5 = nullptr; // spine title on
    QLabel *m_label9 = nullptr;
    HoverLiftButton *m_buttons[2] = {nullptr, nullptr};
    QSpacerItem *m_buttonSpace = nullptr; // keeps room for the buttons, placed by hand
};

} // namespace vt
