#include "Messages.h"

#include <QApplication>
#include <QCursor>
#include <QMessageBox>

namespace {

QMessageBox::Icon iconOf(TMessageKind kind)
{
    switch (kind) {
    case TMessageKind::Information:
        return QMessageBox::Information;
    case TMessageKind::Error:
        return QMessageBox::Critical;
    case TMessageKind::Warning:
        break;
    }
    return QMessageBox::Warning;
}

} // namespace

void TMessageBoxSink::Show(const std::string &text, const std::string &hint, TMessageKind kind)
{
    QWidget *parent = m_parent ? m_parent : QApplication::activeWindow();
    // The hourglass of the operation that reports stays set; the box itself wants the arrow.
    const bool busy = QGuiApplication::overrideCursor() != nullptr;
    if (busy)
        QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    QMessageBox box(iconOf(kind), QGuiApplication::applicationDisplayName(),
        QString::fromStdString(text), QMessageBox::Ok, parent);
    box.setInformativeText(QString::fromStdString(hint));
    box.exec();
    if (busy)
        QGuiApplication::restoreOverrideCursor();
}
