#pragma once

#include <QString>

// The keys and values that more than one of Settings' source files uses; only
// those files include this header.
namespace SettingsKeys {
inline const char *const KEY_SETTING_VERSION = "settingVersion";
inline const char *const KEY_DNS_STACK = "dns/current-dns-stack";
inline const QString DEFAULT_SERVER_SITE = QStringLiteral("USA-Dallas");
} // namespace SettingsKeys
