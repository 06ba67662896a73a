#include "prefs/MtuPreference.h"

#include "prefs/PrefsLogging.h"

#include <QDebug>
#include <QSettings>

namespace {
const QString MTU_TYPE_KEY = QStringLiteral("mtu-type");
const QString MTU_VALUE_KEY = QStringLiteral("mtu-value");
} // namespace

DefaultMtuPreference DefaultMtuPreference::INSTANCE;
LowMtuPreference LowMtuPreference::INSTANCE;
MediumMtuPreference MediumMtuPreference::INSTANCE;
HighMtuPreference HighMtuPreference::INSTANCE;
CustomMtuPreference CustomMtuPreference::INSTANCE;

bool MtuPreference::isDefaulMtu() const
{
    return false;
}

bool MtuPreference::isCustomMtu() const
{
    return false;
}

void MtuPreference::setMtuIfCustom(int)
{
}

void MtuPreference::writeTo(QSettings &settings) const
{
    settings.setValue(MTU_TYPE_KEY, getSettingKey());
    settings.setValue(MTU_VALUE_KEY, getMtu());
}

MtuPreference *MtuPreference::readFrom(const QSettings &settings)
{
    const QString type = settings.value(MTU_TYPE_KEY, QString()).toString();
    const int value = settings.value(MTU_VALUE_KEY, 0).toInt();
    for (MtuPreference *preference : ALLMTUPREFERENCES()) {
        if (preference->getSettingKey() == type) {
            preference->setMtuIfCustom(value);
            return preference;
        }
    }
    if (!type.isEmpty())
        qCDebug(lcPrefs) << "static MtuPreference *MtuPreference::readFrom(const QSettings &)"
                         << "Unexpected switch value: " << type;
    return DEFAULT_MTUPREFERENCE();
}

bool MtuPreference::operator==(const MtuPreference &other) const
{
    if (isCustomMtu() && other.isCustomMtu())
        return getMtu() == other.getMtu();
    return getType() == other.getType();
}

MtuPreference *MtuPreference::DEFAULT_MTUPREFERENCE()
{
    return &DefaultMtuPreference::INSTANCE;
}

MtuPreference *MtuPreference::LOW_MTUPREFERENCE()
{
    return &LowMtuPreference::INSTANCE;
}

MtuPreference *MtuPreference::MEDIUM_MTUPREFERENCE()
{
    return &MediumMtuPreference::INSTANCE;
}

MtuPreference *MtuPreference::HIGH_MTUPREFERENCE()
{
    return &HighMtuPreference::INSTANCE;
}

MtuPreference *MtuPreference::CUSTOM_MTUPREFERENCE()
{
    return &CustomMtuPreference::INSTANCE;
}

QList<MtuPreference *> MtuPreference::ALLMTUPREFERENCES()
{
    return {DEFAULT_MTUPREFERENCE(), LOW_MTUPREFERENCE(), MEDIUM_MTUPREFERENCE(), HIGH_MTUPREFERENCE(),
            CUSTOM_MTUPREFERENCE()};
}

QString DefaultMtuPreference::displayName() const
{
    return QStringLiteral("Default");
}
QString DefaultMtuPreference::getSettingKey() const
{
    return QStringLiteral("default-mtu-from-config");
}
bool DefaultMtuPreference::isDefaulMtu() const
{
    return true;
}
int DefaultMtuPreference::getType() const
{
    return 0;
}

QString LowMtuPreference::displayName() const
{
    return QStringLiteral("Low");
}
QString LowMtuPreference::getSettingKey() const
{
    return QStringLiteral("low-mtu");
}
int LowMtuPreference::getType() const
{
    return 1;
}

QString MediumMtuPreference::displayName() const
{
    return QStringLiteral("Medium");
}
QString MediumMtuPreference::getSettingKey() const
{
    return QStringLiteral("medium-mtu");
}
int MediumMtuPreference::getType() const
{
    return 2;
}

QString HighMtuPreference::displayName() const
{
    return QStringLiteral("High");
}
QString HighMtuPreference::getSettingKey() const
{
    return QStringLiteral("high-mtu");
}
int HighMtuPreference::getType() const
{
    return 3;
}

QString CustomMtuPreference::displayName() const
{
    return QStringLiteral("Custom");
}
QString CustomMtuPreference::getSettingKey() const
{
    return QStringLiteral("custom-mtu");
}
bool CustomMtuPreference::isCustomMtu() const
{
    return true;
}
void CustomMtuPreference::setMtuIfCustom(int value)
{
    m_mtu = value;
}
int CustomMtuPreference::getType() const
{
    return 4;
}
