#pragma once
// One value of an XML property list, as CoreFoundation models it.
#include <string>
#include <utility>
#include <vector>

namespace platform {

class PlistValue
{
public:
    enum class Type { Dictionary, Array, String, Integer, Real, True, False, Date, Data };

    explicit PlistValue(Type type = Type::Dictionary, std::string text = std::string());

    Type type() const { return m_type; }
    bool isDictionary() const { return m_type == Type::Dictionary; }
    // The content of a scalar (decoded text), empty for containers.
    const std::string &text() const { return m_text; }

    // Dictionary entries in file order; keys are unique.
    const std::vector<std::pair<std::string, PlistValue>> &entries() const { return m_entries; }
    const PlistValue *value(const std::string &key) const;
    // Replaces the value under `key` in place, or appends the key.
    void setValue(const std::string &key, const PlistValue &value);

    const std::vector<PlistValue> &items() const { return m_items; }
    void appendItem(const PlistValue &item);

private:
    Type m_type;
    std::string m_text;
    std::vector<std::pair<std::string, PlistValue>> m_entries;
    std::vector<PlistValue> m_items;
};

} // namespace platform
