#include "ThemeMenu.h"

#include "widgets/ToolSettings.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QStyle>
#include <QStyleFactory>

namespace {

const QString ThemeKey = QStringLiteral("View/Theme");
const char *const Themes[] = { "System", "Light", "Dark" };

} // namespace

TThemeMenu::TThemeMenu(QMenu &view)
    : QObject(&view)
    , m_choices(new QActionGroup(this))
{
    // The system's look as the first menu found it, before any theme was applied.
    static const QString systemStyle = QApplication::style()->name();
    static const QPalette systemPalette = QApplication::palette();
    m_systemStyle = systemStyle;
    m_systemPalette = systemPalette;
    QMenu *menu = view.addMenu(QStringLiteral("Theme"));
    menu->setObjectName(QStringLiteral("Theme1"));
    for (const char *theme : Themes) {
        QAction *choice = menu->addAction(QString::fromLatin1(theme));
        choice->setObjectName(QStringLiteral("Theme%1").arg(QLatin1String(theme)));
        choice->setCheckable(true);
        m_choices->addAction(choice);
        connect(choice, &QAction::triggered, this, [this, theme] {
            Apply(QString::fromLatin1(theme));
            zul::toolSettings().setValue(ThemeKey, QString::fromLatin1(theme));
        });
    }
    Apply(zul::toolSettings().value(ThemeKey, QStringLiteral("System")).toString());
}

void TThemeMenu::Apply(const QString &theme)
{
    const bool light = theme == QLatin1String("Light");
    const bool dark = theme == QLatin1String("Dark");
    const QString checked = light || dark ? theme : QStringLiteral("System");
    for (QAction *choice : m_choices->actions())
        choice->setChecked(choice->text() == checked);
    if (!light && !dark) {
        // Nothing to undo at an ordinary start, so it costs the start nothing.
        if (QApplication::style()->name() != m_systemStyle)
            QApplication::setStyle(QStyleFactory::create(m_systemStyle));
        if (QApplication::palette() != m_systemPalette)
            QApplication::setPalette(m_systemPalette);
        return;
    }
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(dark ? DarkPalette() : QApplication::style()->standardPalette());
}

QPalette TThemeMenu::DarkPalette()
{
    QPalette dark;
    const QColor window(0x2B, 0x2B, 0x2B), base(0x1E, 0x1E, 0x1E), text(0xE8, 0xE8, 0xE8);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::ToolTipBase, base);
    dark.setColor(QPalette::ToolTipText, text);
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, window);
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::BrightText, Qt::red);
    dark.setColor(QPalette::Link, QColor(0x5A, 0xA0, 0xF0));
    dark.setColor(QPalette::Highlight, QColor(0x2F, 0x65, 0xCA));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::Mid, QColor(0x45, 0x45, 0x45));
    const QColor greyed(0x80, 0x80, 0x80);
    for (const QPalette::ColorRole role :
        { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
        dark.setColor(QPalette::Disabled, role, greyed);
    return dark;
}
