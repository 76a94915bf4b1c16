// A drawing of the DIP switch positions a configuration page expects: one bank per switch word,
// twelve switches per word in groups of three (one group per channel), a switch drawn up and
// dark where its bit is set ("ON"). The configuration pages show it beside "DIP switches set?".
#pragma once

#include <QWidget>

#include <cstdint>
#include <vector>

class TDipSwitchPicture : public QWidget
{
public:
    static constexpr int SwitchesPerWord = 12;
    static constexpr int GroupSize = 3;

    TDipSwitchPicture(std::vector<std::uint16_t> words, QWidget *parent = nullptr);

    // The same positions in words: "1-3: OFF ON ON, 4-6: ...".
    QString Description() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool isOn(int switchIndex) const;

    std::vector<std::uint16_t> m_words;
};
