#pragma once
// The options dialog: the print positions and picture sizes of every case format, in
// millimetres, and the click-sound switch. Edits reach the catalogue in memory as a
// field is left; OK writes the settings and the catalogue files, Cancel reads both back.
#include "app/AppState.h"
#include "formats/OptionsEditor.h"

#include <QDialog>
#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpacerItem;

namespace vt {

class HoverLiftButton;

struct OptionsContext
{
    AppState *state = nullptr;       // required
    int mainFormat = 0;              // the main window's selected format, shown first
    // Plays a sound to its end ("Files/Click1.wav"); the dialog decides when. May be empty.
    std::function<void(const QString &relativeWav)> playSound;
    // Reads the current language file into the table again; may be empty.
    std::function<void()> reloadTexts;
    // Writes the settings file (the main window knows its format and window state).
    std::function<void()> writeSettings;
    // Writes the catalogue file, telling the user when that failed; false then. When
    // empty, the file is written without a word.
    std::function<bool()> writeCatalogue;
    // Runs the main window's format selection once OK has stored the new sizes.
    std::function<void()> formatSelection;
};

// Shows the dialog modally over owner and returns once it has closed.
void openOptionsDialog(QWidget *owner, const OptionsContext &context);

class frmOpzioni : public QDialog
{
    Q_OBJECT
public:
    static constexpr double Opacity = 245.0 / 255.0;

    // Throws std::invalid_argument without a state.
    explicit frmOpzioni(OptionsContext context, QWidget *parent = nullptr);
    ~frmOpzioni() override;

    QLineEdit *field(int i) const { return i >= 0 && i < OptionsFieldCount ? m_fields[size_t(i)] : nullptr; }
    QComboBox *formatList() const { return m_combo1; }
    QCheckBox *soundSwitch() const { return m_check1; }
    QLabel *soundCaption() const { return m_label8; }
    QLabel *rowLabel(int row) const { return row >= 1 && row <= 3 ? m_rowLabels[size_t(row - 1)] : nullptr; }
    QLabel *dimensionHeader(int column) const { return column == 1 ? m_dimHeader1 : column == 2 ? m_dimHeader2 : nullptr; }
    HoverLiftButton *button(int n) const { return n == 0 || n == 1 ? m_buttons[n] : nullptr; }
    // The field that lost the focus last, if any.
    std::optional<int> lastLeftField() const { return m_lastLeft; }

    // Show format: fills the fields of the format list's selection.
    void showFormat();
    // Store fields, as when field i loses the focus. Returns the field that stopped it.
    std::optional<int> storeFields(int i);
    // A click on OK (0) or Cancel (1).
    void pressButton(int n);
    // Escape and the close box cancel, without the click sound.
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void load();
    void applyCaptions();
    void reserveButtonRoom();
    void layoutButtons();
    void markField(std::optional<int> bad);
    void finish(int n, bool withSound);
    QString text(int entry) const { return m_ctx.state->Language[entry]; }

    OptionsContext m_ctx;
    bool m_finished = false;
    std::optional<int> m_lastLeft;
    std::optional<int> m_badField;

    QLabel *m_header = nullptr;
    QComboBox *m_combo1 = nullptr;
    QLabel *m_colX = nullptr;
    QLabel *m_colY = nullptr;
    QLabel *m_dimHeader1 = nullptr;
    QLabel *m_dimHeader2 = nullptr;
    std::array<QLabel *, 3> m_rowLabels{};
    std::array<QLineEdit *, OptionsFieldCount> m_fields{};
    QCheckBox *m_check1 = nullptr;
    QLabel *m_label8 = nullptr;
    HoverLiftButton *m_buttons[2] = {nullptr, nullptr};
    QSpacerItem *m_buttonSpace = nullptr;
};

} // namespace vt
