#pragma once

#include <exception>

// Any structure of a zip archive that the reader does not accept.
class zip_exception : public std::exception
{};
