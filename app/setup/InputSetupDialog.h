#pragma once

#include "FormParts.h"
#include "InputMoves.h"
#include "InputSetupFields.h"
#include "LiveValues.h"

#include <QDialog>

#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class UpDownArrows;

// What the probe and analog setup dialogs work with: the form's parts and the input they have
// the poll follow (not 0 while "Show Current Value" is ticked; the input read is the one in the
// dialog's number box).
struct InputSetupParts : FormParts {
    int16_t &LiveInput;
};

// The probe and the analog setup dialogs are one dialog with two faces: the names of the
// controls, the captions and tips, the decimals shown and whether the spinner wraps around
// differ; what they do is the same. One input is shown at a time: its description (kept by the
// station), full scale and zero offset (kept by the unit), and its live reading while "Show
// Current Value" is ticked. Reading an input and programming it are each one sequence through
// the link scheduler; the controls wait while one runs. A value whose read failed is unknown: its
// box stays empty and Program refuses it (offering to read the input again) until it is read or
// typed.
class InputSetupDialog : public QDialog {
    Q_OBJECT

public:
    // The current input; 1 the first time.
    int currentInput() const { return m_current; }
    // Makes `input` current and shows it without asking about edits (an input outside the set
    // is brought within it).
    void setCurrentInput(int input);
    // The number in the current-number box as typed, 0 when it is not a number.
    int boxNumber() const;

    // Shows the dialog on `input`, modal or not; a dialog already open is moved there and
    // raised.
    void openAt(int input, bool modal);
    // Closes without asking (the station is closing).
    void closeForShutdown();

    bool isBusy() const { return m_busy; }
    bool isEdited() const { return m_edited; }

    void reject() override;

Q_SIGNALS:
    // The input's values were read and shown.
    void inputShown(int input);
    // A Program ended: programmed is false when a field was refused (a value that could not be
    // read among them) or a request failed.
    void programEnded(bool programmed);
    // The operator closed the dialog; changed when anything was programmed while it was open.
    void closed(bool changed);

protected:
    struct Texts {
        setupforms::InputKind kind;
        const char *caption;
        const char *currentBox;
        const char *currentLabel;
        const char *upDown;
        const char *valueBox;
        const char *autoIncrement;
        const char *programCaption;
        // The probe dialog explains its controls; the analog dialog has no tips.
        bool tips;
    };

    InputSetupDialog(InputSetupParts parts, const Texts &texts, QWidget *parent);
    ~InputSetupDialog() override;

    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    int count() const;
    int decimals() const;
    QString descriptionOf(int input) const;
    QLineEdit *box(setupforms::InputField field) const;
    // Shows `input` afresh: its description, then its values as one read sequence.
    void showInput(int input);
    // Reads the values of `input` (the input shown): a box still as it was shown takes the new
    // reading, one the operator typed into keeps what was typed.
    void readValues(int input);
    // A value is empty when its read failed: its box then shows nothing and it is unknown.
    void afterReading(int input, std::optional<float> zero, std::optional<float> fullScale);
    void move(setupforms::InputMove move, int typed = 0);
    // Asks about unsaved edits, then runs `then` unless the operator stays.
    void leaveThen(std::function<void()> then);
    void program(std::function<void()> after);
    void programClicked();
    void doneClicked();
    void typedNumber();
    void showCurrentValueClicked(bool on);
    void setBusy(bool busy);
    void showEmptySet();

    // The live value's input while it is followed: the number in the box, if the set has it.
    LiveObject liveInput() const;

    InputSetupParts m;
    Texts m_texts;
    LiveSubscription m_live;
    int m_current = 1;
    bool m_edited = false;
    bool m_busy = false;
    bool m_programmedWhileOpen = false;
    // A sequence for an earlier input must not fill the boxes of this one.
    unsigned m_showing = 0;
    setupforms::ShownValue m_shownFullScale;
    setupforms::ShownValue m_shownZero;

    QLabel *m_emptyReason = nullptr;
    QLineEdit *m_currentBox = nullptr;
    UpDownArrows *m_upDown = nullptr;
    QLineEdit *m_description = nullptr;
    QLineEdit *m_fullScale = nullptr;
    QLineEdit *m_zero = nullptr;
    QLineEdit *m_value = nullptr;
    QCheckBox *m_showValue = nullptr;
    QCheckBox *m_autoIncrement = nullptr;
    QPushButton *m_program = nullptr;
    QPushButton *m_done = nullptr;
};
