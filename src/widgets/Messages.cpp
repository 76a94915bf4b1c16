#include "Messages.h"

#include <QApplication>
#include <QCursor>
#include <QMessageBox>

void TMessageBoxSink::ShowMessageWithHint(const std::string &text, const std::string &hint)
{
    QWidget *parent = m_parent ? m_parent : QApplication::activeWindow();
    // The hourglass of the operation that reports stays set; the box itself wants the arrow.
    const bool busy = QGuiApplication::overrideCursor() != nullptr;
    if (busy)
        QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(),
        QString::fromStdString(text), QMessageBox::Ok, parent);
    box.setInformativeText(QString::fromStdString(hint));
    box.exec();
    if (busy)
        QGuiApplication::restoreOverrideCursor();
}
