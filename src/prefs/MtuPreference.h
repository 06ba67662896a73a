#pragma once

#include <QList>
#include <QMetaType>
#include <QString>

class QSettings;

// The tunnel MTU choice. One shared instance per choice; only the custom
// choice keeps a value of its own, and that value is process-wide.
class MtuPreference
{
public:
    static const int LOW_MTU = 512;
    static const int MEDIUM_MTU = 24000;
    static const int HIGH_MTU = 48000;

    virtual QString displayName() const = 0;
    virtual QString getSettingKey() const = 0;
    virtual bool isDefaulMtu() const;
    virtual bool isCustomMtu() const;
    virtual void setMtuIfCustom(int value);
    virtual int getType() const = 0;
    virtual ~MtuPreference() = default;

    int getMtu() const { return m_mtu; }

    void writeTo(QSettings &settings) const;
    static MtuPreference *readFrom(const QSettings &settings);

    bool operator==(const MtuPreference &other) const;
    bool operator!=(const MtuPreference &other) const { return !(*this == other); }

    static MtuPreference *DEFAULT_MTUPREFERENCE();
    static MtuPreference *LOW_MTUPREFERENCE();
    static MtuPreference *MEDIUM_MTUPREFERENCE();
    static MtuPreference *HIGH_MTUPREFERENCE();
    static MtuPreference *CUSTOM_MTUPREFERENCE();
    static QList<MtuPreference *> ALLMTUPREFERENCES();

protected:
    explicit MtuPreference(int mtu)
        : m_mtu(mtu)
    {
    }
    MtuPreference(const MtuPreference &) = delete;
    MtuPreference &operator=(const MtuPreference &) = delete;

    int m_mtu;
};

class DefaultMtuPreference : public MtuPreference
{
public:
    static DefaultMtuPreference INSTANCE;
    QString displayName() const override;
    QString getSettingKey() const override;
    bool isDefaulMtu() const override;
    int getType() const override;

private:
    DefaultMtuPreference()
        : MtuPreference(0)
    {
    }
};

class LowMtuPreference : public MtuPreference
{
public:
    static LowMtuPreference INSTANCE;
    QString displayName() const override;
    QString getSettingKey() const override;
    int getType() const override;

private:
    LowMtuPreference()
        : MtuPreference(LOW_MTU)
    {
    }
};

class MediumMtuPreference : public MtuPreference
{
public:
    static MediumMtuPreference INSTANCE;
    QString displayName() const override;
    QString getSettingKey() const override;
    int getType() const override;

private:
    MediumMtuPreference()
        : MtuPreference(MEDIUM_MTU)
    {
    }
};

class HighMtuPreference : public MtuPreference
{
public:
    static HighMtuPreference INSTANCE;
    QString displayName() const override;
    QString getSettingKey() const override;
    int getType() const override;

private:
    HighMtuPreference()
        : MtuPreference(HIGH_MTU)
    {
    }
};

class CustomMtuPreference : public MtuPreference
{
public:
    static CustomMtuPreference INSTANCE;
    QString displayName() const override;
    QString getSettingKey() const override;
    bool isCustomMtu() const override;
    void setMtuIfCustom(int value) override;
    int getType() const override;

private:
    CustomMtuPreference()
        : MtuPreference(MEDIUM_MTU)
    {
    }
};

// Combo-box items of the preferences dialog carry the singletons.
Q_DECLARE_METATYPE(MtuPreference *)
