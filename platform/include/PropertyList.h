#pragma once
// Reads and writes XML property lists (format 1.0), standing in for the
// CoreFoundation property-list calls on systems that lack them.
#include "PlistValue.h"

#include <string>

namespace platform {

class PropertyList
{
public:
    struct Error
    {
        std::string failureReason;
        std::string recoverySuggestion;
    };

    // Parses `xml`; on failure returns false and describes the fault in `error`.
    static bool parse(const std::string &xml, PlistValue &root, Error &error);
    // The XML text of `root` in the layout the system's own tools write.
    static std::string serialize(const PlistValue &root);
};

} // namespace platform
