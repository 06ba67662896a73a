#include "PlistValue.h"

namespace platform {

PlistValue::PlistValue(Type type, std::string text)
    : m_type(type)
    , m_text(std::move(text))
{
}

const PlistValue *PlistValue::value(const std::string &key) const
{
    for (const auto &entry : m_entries) {
        if (entry.first == key)
            return &entry.second;
    }
    return nullptr;
}

void PlistValue::setValue(const std::string &key, const PlistValue &value)
{
    for (auto &entry : m_entries) {
        if (entry.first == key) {
            entry.second = value;
            return;
        }
    }
    m_entries.emplace_back(key, value);
}

void PlistValue::appendItem(const PlistValue &item)
{
    m_items.push_back(item);
}

} // namespace platform
