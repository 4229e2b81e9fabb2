#pragma once

#include <QString>

// One code and one town it names, as an address starts.
struct SPostalEntry {
    QString code; // seven digits
    QString prefecture;
    QString city;
    QString town; // empty where the code names the whole city

    QString Address() const { return prefecture + city + town; }
    bool operator==(const SPostalEntry &other) const = default;
};
