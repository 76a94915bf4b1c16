// Time pickers for module time values (32 ms steps), shown as "mm:ss" and clamped to 34:57 on
// every change. The Comms page uses one for the output time-out; the Pulsed Outputs Setup page
// uses eight for the update times.
#pragma once

#include <QTimeEdit>

#include <cstdint>

// A picker later than 00:34:57 (within one millisecond) is set to 00:34:57, the largest whole
// number of seconds that fits 0xFFFF steps.
void LimitUpdateTime(QTimeEdit *picker);
// The picker's time of day as a register value; the date part never counts.
std::uint16_t PickerTimeWord(const QTimeEdit *picker);
void SetPickerTimeWord(QTimeEdit *picker, std::uint16_t word);

class TTimePicker : public QTimeEdit
{
public:
    explicit TTimePicker(const QString &objectName, QWidget *parent = nullptr);
};
