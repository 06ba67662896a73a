#include "catalogue/ConnectionParameters.h"

namespace {
// Signals carry the parameters between widgets; a queued connection needs the
// type registered by name, or the call is dropped with only a warning.
[[maybe_unused]] const int parametersMetaType =
    qRegisterMetaType<QSharedPointer<ConnectionParameters>>("QSharedPointer<ConnectionParameters>");
} // namespace

// Defined here so that every program using parameters links this file.
ConnectionParameters::~ConnectionParameters() = default;
