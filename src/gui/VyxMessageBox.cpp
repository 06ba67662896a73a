#include "gui/VyxMessageBox.h"

#include "gui/GuiLogging.h"

#include <QCloseEvent>
#include <QDebug>

VyxMessageBox::VyxMessageBox(QWidget *parent, QMessageBox::StandardButton closeResult)
    : QMessageBox(parent)
    , m_closeResult(closeResult)
{
}

void VyxMessageBox::closeEvent(QCloseEvent *event)
{
    setResult(m_closeResult);
    qCDebug(lcGui) << "VyxMessageBox CloseEvent. Result set to:" << static_cast<int>(m_closeResult);
    event->accept();
}
