#pragma once
#include "helper/AbstractExecCommand.h"

#include <string>

namespace stelvane {

// Sets LSUIElement in the bundle's Info.plist: whether the application shows
// a Dock icon at its next start. Runs no other program.
class SetDockIconVisibility : public AbstractExecCommand
{
public:
    explicit SetDockIconVisibility(bool visible);

    int execute() override;

    // Edits the property list at `path`: replaces it whole (same owner and
    // mode) or leaves it untouched. Returns 0, or -1 on failure.
    static int updatePropertyList(const std::string &path, bool visible);

private:
    bool m_visible;
};

} // namespace stelvane
