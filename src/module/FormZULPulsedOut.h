// The targets dialog TForm_ZULPulsedOut ("Edit Targets"): edits the eight pulse output targets
// (holding registers 9 to 16) of any module kind. Every check page registers its "Edit Targets"
// button with its eight target texts (AddTargetsCaller); a click records the button as
// TargetsCaller and shows the dialog modally. Created once at start-up by TPulsedOutputs.
#pragma once

#include <QDialog>

#include <array>
#include <cstdint>
#include <map>
#include <span>

class QAbstractButton;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
struct TSession;

using TTargetTexts = std::array<QLabel *, 8>;

class TForm_ZULPulsedOut : public QDialog
{
public:
    TForm_ZULPulsedOut(TSession &session, QWidget *owner);

    // The registry of callers. The fallback caller's texts (the DIO Check targets) also receive
    // the values when the dialog was opened without a known caller.
    enum class CallerRole { Normal, Fallback };
    void AddTargetsCaller(
        QAbstractButton *button, const TTargetTexts &texts, CallerRole role = CallerRole::Normal);
    // The one caller logic behind every "Edit Targets" button.
    int EditTargets(QAbstractButton *caller);

    void FormShow();
    void Button1Click();
    void SendPoutTargets(std::span<const std::uint16_t, 8> words);

    QAbstractButton *TargetsCaller = nullptr;
    std::array<QLineEdit *, 8> TargetEdits {}; // Edit102..Edit108, Edit117
    QGroupBox *GroupBox1 = nullptr;
    QPushButton *Button1 = nullptr; // "OK"
    QPushButton *Button2 = nullptr; // "Cancel"

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    const TTargetTexts *callerTexts() const;

    TSession &m_session;
    std::map<const QAbstractButton *, TTargetTexts> m_callers;
    const QAbstractButton *m_fallback = nullptr;
};
