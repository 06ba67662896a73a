#pragma once

#include <QLineEdit>

// A line edit for one dotted-decimal IPv4 address, just wide enough for the
// longest one, that only keeps text its IpAddressValidator does not refuse.
class IpAddressEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit IpAddressEdit(QWidget *parent = nullptr);

    QSize sizeHint() const override;
};
