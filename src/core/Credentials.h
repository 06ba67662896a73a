#pragma once

#include <QString>

// The user name and password of one connection attempt, passed by value
// into the start-up, which hands them on and then forgets its copy.
struct Credentials
{
    QString userName;
    QString password;
};
