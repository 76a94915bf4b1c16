// View > Theme: the window in the system's own look, or Qt's Fusion style with a light or a dark
// palette, remembered across starts. What the pages draw themselves (the DIP switches, the
// traffic rows) reads in all three.
#pragma once

#include <QObject>
#include <QPalette>
#include <QString>

class QActionGroup;
class QMenu;

class TThemeMenu : public QObject
{
public:
    // Adds the Theme submenu to `view` and applies the theme chosen last time.
    explicit TThemeMenu(QMenu &view);

    // "System", "Light" or "Dark"; an unknown name counts as System.
    void Apply(const QString &theme);
    static QPalette DarkPalette();

private:
    QActionGroup *m_choices;
    QString m_systemStyle;
    QPalette m_systemPalette;
};
