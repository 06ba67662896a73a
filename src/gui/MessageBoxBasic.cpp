#include "gui/MessageBoxBasic.h"

MessageBoxBasic::MessageBoxBasic()
{
    title = QStringLiteral("MessageBox");
}

void MessageBoxBasic::applyStyle(QSharedPointer<QMessageBox> &box)
{
    box->setWindowTitle(title);
}

void MessageBoxBasic::applyIcon(QSharedPointer<QMessageBox> &, iconType)
{
}
