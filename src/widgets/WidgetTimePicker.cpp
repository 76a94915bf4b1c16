#include "WidgetTimePicker.h"

#include "core/TimeCodec.h"

void LimitUpdateTime(QTimeEdit *picker)
{
    const double seconds = picker->time().msecsSinceStartOfDay() / 1000.0;
    if (zul::limitTimeSeconds(seconds) != seconds)
        picker->setTime(QTime(0, 0).addSecs(zul::MaxTimeSeconds));
}

std::uint16_t PickerTimeWord(const QTimeEdit *picker)
{
    return zul::secondsToTimeWord(picker->time().msecsSinceStartOfDay() / 1000.0);
}

void SetPickerTimeWord(QTimeEdit *picker, std::uint16_t word)
{
    picker->setTime(QTime(0, 0).addSecs(zul::timeWordToSeconds(word)));
}

TTimePicker::TTimePicker(const QString &objectName, QWidget *parent)
    : QTimeEdit(parent)
{
    setObjectName(objectName);
    setDisplayFormat(QStringLiteral("mm:ss"));
    setTime(QTime(0, 0));
    // Clamping cannot fail, so it needs no catching connect.
    connect(this, &QTimeEdit::timeChanged, this, [this] { LimitUpdateTime(this); });
}
