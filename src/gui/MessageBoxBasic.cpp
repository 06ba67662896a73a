#include "gui/MessageBoxBasic.h"

MessageBoxBasic::MessageBoxBasic()
{
    m_title = QStringLiteral("MessageBox");
}

void MessageBoxBasic::applyStyle(QSharedPointer<QMessageBox> &box)
{
    box->setWindowTitle(m_title);
}

void MessageBoxBasic::applyIcon(QSharedPointer<QMessageBox> &, iconType)
{
}
